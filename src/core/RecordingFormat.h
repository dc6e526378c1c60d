#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

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

// The bytes a recording is read from: a file, in the program.
class ByteInput {
public:
    virtual ~ByteInput() = default;
    // Reads the next bytes into `into`: how many, 0 at the end. Throws a
    // ToolError that names the source and the reason when it cannot be read.
    virtual std::size_t readSome(std::span<char> into) = 0;
};

// Where a recording is written to.
class ByteOutput {
public:
    virtual ~ByteOutput() = default;
    // Appends the bytes; they have reached the operating system when this
    // returns. A write that fails leaves no part of them behind and throws a
    // ToolError that names the destination and the reason.
    virtual void append(std::string_view bytes) = 0;
};

// Reads a recording record by record: three integers at a time wherever they
// stand. A field ends at ",", at a line end or at the end of the file, with
// blanks around it allowed; blank lines come between fields, but a field
// after a comma stands on the comma's line, so a comma at a line's end makes
// an empty field. A byte-order mark at the start is skipped. Never holds more
// than a short field in memory, whatever the file holds.
class RecordingReader {
public:
    explicit RecordingReader(ByteInput& bytes);

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
    // The next byte without taking it, or -1 at the end.
    int peekByte() { return position_ < filled_ ? static_cast<unsigned char>(buffer_[position_]) : refill(); }
    void takeByte() { ++position_; }
    int refill();

    ByteInput& file_;
    std::vector<char> buffer_ = std::vector<char>(64 * 1024);
    std::size_t position_ = 0;
    std::size_t filled_ = 0;
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
    explicit RecordingWriter(ByteOutput& bytes)
        : file_(bytes)
    {
    }
    // Appends the lines in one write. Throws a ToolError when they cannot be
    // written; the file then still ends on a whole line.
    void append(std::span<const Record> records);
    void append(const Record& record) { append(std::span(&record, 1)); }

private:
    ByteOutput& file_;
};

} // namespace clickpath::core
