#include "recording/RecordingFormat.h"

#include "platform/FileTable.h"
#include "platform/ToolError.h"

#include <algorithm>
#include <charconv>
#include <string_view>

namespace clickpath::recording {

namespace {

// Longest field text accepted; "-2147483648" with generous room for blanks.
constexpr std::size_t kMaxFieldLength = 40;

bool isBlank(int byte)
{
    return byte == ' ' || byte == '\t';
}

bool isLineEnd(int byte)
{
    return byte == '\r' || byte == '\n';
}

void skipBlanksAndLineEnds(platform::FileTable& files, std::int32_t number)
{
    for (int byte = files.peekByte(number); isBlank(byte) || isLineEnd(byte); byte = files.peekByte(number))
        files.takeByte(number);
}

// Takes the field's text up to its terminator, and the terminator itself
// (",", CR, LF or CR LF); the end of the file ends a field as well.
std::string takeField(platform::FileTable& files, std::int32_t number)
{
    std::string field;
    for (int byte = files.peekByte(number); byte >= 0; byte = files.peekByte(number)) {
        files.takeByte(number);
        if (byte == ',')
            break;
        if (byte == '\r') {
            if (files.peekByte(number) == '\n')
                files.takeByte(number);
            break;
        }
        if (byte == '\n')
            break;
        if (field.size() == kMaxFieldLength)
            throw ToolError("Bad recording: a field is longer than any number");
        field.push_back(static_cast<char>(byte));
    }
    while (!field.empty() && isBlank(static_cast<unsigned char>(field.back())))
        field.pop_back();
    return field;
}

// The field as it may appear in a message: control bytes and others shown as "?".
std::string printable(std::string field)
{
    for (char& c : field)
        if (c < 0x20 || c > 0x7E)
            c = '?';
    return field;
}

std::int32_t parseInteger(const std::string& field)
{
    if (field.empty())
        throw ToolError("Bad recording: empty field");
    const bool signed_ = field[0] == '+' || field[0] == '-';
    const auto digits = std::string_view(field).substr(signed_ ? 1 : 0);
    if (digits.empty() || !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        throw ToolError("Bad recording: \"" + printable(field) + "\" is not an integer");
    // from_chars takes a leading "-" but no "+".
    const char* first = field.data() + (field[0] == '+' ? 1 : 0);
    std::int32_t value = 0;
    const auto result = std::from_chars(first, field.data() + field.size(), value);
    if (result.ec != std::errc())
        throw ToolError("Bad recording: " + field + " does not fit in 32 bits");
    return value;
}

} // namespace

std::string formatRecordLine(std::int32_t x, std::int32_t y, std::int32_t button)
{
    return std::to_string(x) + ',' + std::to_string(y) + ',' + std::to_string(button) + "\r\n";
}

std::int32_t readInteger(platform::FileTable& files, std::int32_t number)
{
    skipBlanksAndLineEnds(files, number);
    if (files.peekByte(number) < 0)
        throw EndOfFileError();
    return parseInteger(takeField(files, number));
}

Record readRecord(platform::FileTable& files, std::int32_t number)
{
    Record record;
    record.x = readInteger(files, number);
    record.y = readInteger(files, number);
    record.button = readInteger(files, number);
    return record;
}

} // namespace clickpath::recording
