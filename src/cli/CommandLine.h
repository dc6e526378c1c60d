#pragma once

#include "core/PacingNumbers.h"

#include <QStringList>

#include <cstdint>
#include <map>
#include <optional>
#include <stdexcept>

namespace clickpath::cli {

enum class Command { Play, Record, Info, Stop, Help, Version };

// What the command line asks for.
struct Invocation {
    Command command = Command::Help;
    Command helpFor = Command::Help;               // help: of this command, or of all
    QString file;                                  // play, info: empty for the working recording
    std::map<core::SettingBox, QString> overrides; // play: the numbers given as options
    int passes = 1;                                // play: how many passes, unless `loop`
    bool loop = false;                             // play: until stopped
    double speed = 1;                              // play: records a second, in hundreds
    double delay = 0;                              // play, record: seconds before anything starts
    std::optional<std::uint64_t> seed;             // play: the same offsets and waits on every run
    bool quiet = false;                            // play, record: no progress line
    QString stopKey;                               // play, record: the key that stops; empty for none
    bool json = false;                             // info
};

// A command line that cannot be run; the message names what is wrong.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Reads the arguments, the program's name first. Throws a UsageError.
Invocation parseCommandLine(const QStringList& arguments);

// The synopsis, and the help of a command with its options (of all of them
// for Command::Help); both fit 80 columns.
QString usage();
QString helpText(Command command = Command::Help);

// The option that overrides a box, as "--sleep".
QString optionOf(core::SettingBox box);

} // namespace clickpath::cli
