#pragma once

#include <cstdint>
#include <string>

namespace clickpath::platform {
class FileTable;
}

namespace clickpath::recording {

// Button state value of a held left button; 0 is a released one.
constexpr std::int32_t kButtonDown = 128;
constexpr std::int32_t kButtonUp = 0;

struct Record {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t button = 0;

    bool operator==(const Record&) const = default;
};

// One line of a recording: "x,y,button" and CR LF.
std::string formatRecordLine(std::int32_t x, std::int32_t y, std::int32_t button);

// Reads the next whole number of an input file: a field that ends at ",", at a
// line end or at the end of the file, with blanks around it allowed. Fails
// (ToolError) on a field that is empty, not an integer or outside 32 bits, and
// with EndOfFileError when no field is left. Never holds more than a short
// field in memory, whatever the file holds.
std::int32_t readInteger(platform::FileTable& files, std::int32_t number);

// Three integers in a row, x, y and button; a record is whole or an error.
Record readRecord(platform::FileTable& files, std::int32_t number);

} // namespace clickpath::recording
