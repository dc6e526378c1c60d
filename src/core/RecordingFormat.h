#pragma once

#include "platform/SequentialFile.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace clickpath::core {

// The left button's state in a recorded line: held or up.
constexpr std::int32_t kButtonHeld = 128;
constexpr std::int32_t kButtonUp = 0;

// One line of a recording: where the pointer stood and the button's state.
struct Record {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t button = kButtonUp;

    bool operator==(const Record&) const = default;
};

// "x,y,button" and CR LF.
std::string formatRecordLine(const Record& record);

// Reads a recording record by record: three integers at a time wherever they
// stand. A field ends at ",", at a line end or at the end of the file, with
// blanks around it allowed; blank lines come between fields, but a field
// after a comma stands on the comma's line, so a comma at a line's end makes
// an empty field. A byte-order mark at the start is skipped. Never holds more
// than a short field in memory, whatever the file holds.
class RecordingReader {
public:
    // Throws a ToolError naming the path when the file cannot be read.
    explicit RecordingReader(const QString& path);

    // The next whole record; nothing where the recording ends, at its end or
    // at a field that is empty, not an integer or beyond 32 bits. Throws a
    // ToolError only when the file cannot be read.
    std::optional<Record> next();
    // Why reading stopped before the end, or empty: "Bad recording: ...".
    const std::string& problem() const { return problem_; }
    // The line of the last field read, from 1.
    std::int64_t line() const { return fieldLine_; }

private:
    std::optional<std::int32_t> nextInteger();
    void skipByteOrderMark();
    void skipBlanks();
    bool takeField();

    platform::InputFile file_;
    bool atLineStart_ = true; // else the last field ended at a comma
    std::string field_;       // the field being read
    std::string problem_;
    std::int64_t line_ = 1;
    std::int64_t fieldLine_ = 0;
};

// Writes a recording line by line; every line reaches the operating system
// when append() returns.
class RecordingWriter {
public:
    // Creates the file or truncates it; throws a ToolError when it cannot.
    explicit RecordingWriter(const QString& path);
    // Appends the lines in one write. Throws a ToolError when they cannot be
    // written; the file then still ends on a whole line.
    void append(std::span<const Record> records);
    void append(const Record& record) { append(std::span(&record, 1)); }

private:
    platform::OutputFile file_;
};

} // namespace clickpath::core
