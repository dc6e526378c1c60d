#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace clickpath::platform {

// Sequential files opened under small numbers, as the tool's handlers use them:
// a number names one open file until it is closed, and "the lowest free number"
// is how a handler picks one.
class FileTable {
public:
    static constexpr int kFirstNumber = 1;
    static constexpr int kLastNumber = 255;

    FileTable();
    ~FileTable();
    FileTable(const FileTable&) = delete;
    FileTable& operator=(const FileTable&) = delete;

    // The lowest number from 1 to 255 with no open file; an error when all are taken.
    std::int32_t freeNumber() const;
    bool isOpen(std::int32_t number) const;

    // Creates the file or truncates it to zero length.
    void openForOutput(std::int32_t number, const std::string& path);
    void openForInput(std::int32_t number, const std::string& path);
    // Closing a number that is not open does nothing.
    void close(std::int32_t number);
    void closeAll();

    // Appends the bytes; they have reached the operating system when this returns,
    // so they survive a crash of the tool.
    void write(std::int32_t number, std::string_view bytes);

    // The next byte of an input file without taking it, or -1 at its end.
    int peekByte(std::int32_t number);
    // Takes the byte that peekByte showed.
    void takeByte(std::int32_t number);

private:
    struct OpenFile;
    OpenFile& openFile(std::int32_t number, bool forInput);
    static bool inRange(std::int32_t number);

    std::array<std::unique_ptr<OpenFile>, kLastNumber + 1> files_;
};

} // namespace clickpath::platform
