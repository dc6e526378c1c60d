#include "core/RecordingFormat.h"

#include "core/ToolError.h"

#include <algorithm>
#include <charconv>
#include <string_view>

namespace clickpath::core {

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

// The field as it may appear in a message: control bytes and others shown as "?".
std::string printable(std::string field)
{
    for (char& c : field)
        if (c < 0x20 || c > 0x7E)
            c = '?';
    return field;
}

// The field's value, or nothing and why in `problem`.
std::optional<std::int32_t> parseInteger(const std::string& field, std::string& problem)
{
    if (field.empty()) {
        problem = "Bad recording: empty field";
        return std::nullopt;
    }
    const bool hasSign = field[0] == '+' || field[0] == '-';
    const auto digits = std::string_view(field).substr(hasSign ? 1 : 0);
    if (digits.empty() || !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        problem = "Bad recording: \"" + printable(field) + "\" is not an integer";
        return std::nullopt;
    }
    // from_chars takes a leading "-" but no "+".
    const char* first = field.data() + (field[0] == '+' ? 1 : 0);
    std::int32_t value = 0;
    if (std::from_chars(first, field.data() + field.size(), value).ec != std::errc()) {
        problem = "Bad recording: " + field + " does not fit in 32 bits";
        return std::nullopt;
    }
    return value;
}

} // namespace

std::string formatRecordLine(const Record& record)
{
    return std::to_string(record.x) + ',' + std::to_string(record.y) + ',' + std::to_string(record.button) + "\r\n";
}

int RecordingReader::refill()
{
    filled_ = file_.readSome(buffer_);
    position_ = 0;
    return filled_ > 0 ? static_cast<unsigned char>(buffer_[0]) : -1;
}

RecordingReader::RecordingReader(ByteInput& bytes)
    : file_(bytes)
{
    skipByteOrderMark();
}

void RecordingReader::skipByteOrderMark()
{
    // Text editors may start a file with UTF-8's EF BB BF.
    for (const int byte : {0xEF, 0xBB, 0xBF}) {
        if (peekByte() != byte)
            return;
        takeByte();
    }
}

void RecordingReader::skipBlanks()
{
    for (int byte = peekByte(); isBlank(byte) || (atLineStart_ && isLineEnd(byte)); byte = peekByte()) {
        takeByte();
        // CR LF is one line end: its LF counts it.
        if (byte == '\n' || (byte == '\r' && peekByte() != '\n'))
            ++line_;
    }
}

// Takes the field's text into `field_` up to its terminator, and the
// terminator itself (",", CR, LF or CR LF); the end of the file ends a field
// as well. False for a field longer than any number.
bool RecordingReader::takeField()
{
    field_.clear();
    for (int byte = peekByte(); byte >= 0; byte = peekByte()) {
        takeByte();
        if (byte == ',' || isLineEnd(byte)) {
            atLineStart_ = byte != ',';
            if (byte == '\r' && peekByte() == '\n')
                takeByte();
            line_ += atLineStart_ ? 1 : 0;
            break;
        }
        if (field_.size() == kMaxFieldLength)
            return false;
        field_.push_back(static_cast<char>(byte));
    }
    while (!field_.empty() && isBlank(static_cast<unsigned char>(field_.back())))
        field_.pop_back();
    return true;
}

std::optional<std::int32_t> RecordingReader::nextInteger()
{
    skipBlanks();
    if (peekByte() < 0)
        return std::nullopt; // the end: no problem
    fieldLine_ = line_;
    if (!takeField()) {
        problem_ = "Bad recording: a field is longer than any number";
        return std::nullopt;
    }
    return parseInteger(field_, problem_);
}

std::optional<Record> RecordingReader::next()
{
    const auto x = nextInteger();
    const auto y = x ? nextInteger() : std::nullopt;
    const auto button = y ? nextInteger() : std::nullopt;
    if (!button)
        return std::nullopt;
    return Record{*x, *y, *button};
}

void RecordingWriter::append(std::span<const Record> records)
{
    std::string lines;
    for (const Record& record : records)
        lines += formatRecordLine(record);
    file_.append(lines);
}

} // namespace clickpath::core
