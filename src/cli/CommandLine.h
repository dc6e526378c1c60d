#pragma once

#include "core/PacingNumbers.h"

#include <QStringList>

#include <map>
#include <stdexcept>

namespace clickpath::cli {

enum class Command { Play, Record, Help, Version };

// What the command line asks for.
struct Invocation {
    Command command = Command::Help;
    QString file;                                  // play: empty for the working recording
    std::map<core::SettingBox, QString> overrides; // play: the numbers given as options
    int passes = 1;                                // play: how many passes, unless `loop`
    bool loop = false;                             // play: until stopped
};

// A command line that cannot be run; the message names what is wrong.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Reads the arguments, the program's name first. Throws a UsageError.
Invocation parseCommandLine(const QStringList& arguments);

// The synopsis, and the whole help with every option.
QString usage();
QString helpText();

// The option that overrides a box, as "--sleep".
QString optionOf(core::SettingBox box);

// Throws a UsageError naming `source` when the text is not a number the
// player can use in that box.
void checkUsable(core::SettingBox box, const QString& text, const QString& source);

} // namespace clickpath::cli
