#pragma once

#include <QString>

#include <string_view>
#include <vector>

namespace clickpath::platform {

// A file descriptor that closes itself.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd)
        : fd_(fd)
    {
    }
    ~FileDescriptor();
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

// A file read from start to end, a byte at a time through a buffer.
class InputFile {
public:
    // Throws a ToolError naming the path and the reason when it cannot be read.
    explicit InputFile(const QString& path);

    // The next byte without taking it, or -1 at the end of the file.
    int peekByte();
    // Takes the byte that peekByte showed.
    void takeByte();

private:
    bool refill();

    std::string path_;
    FileDescriptor fd_;
    std::vector<char> buffer_;
    std::size_t position_ = 0;
    std::size_t filled_ = 0;
};

// A file written from its start, created or truncated when opened.
class OutputFile {
public:
    // Throws a ToolError naming the path and the reason when it cannot be written.
    explicit OutputFile(const QString& path);

    // Appends the bytes; they have reached the operating system when this
    // returns, so they survive a crash of the tool. A write that fails leaves
    // no part of the bytes behind and throws a ToolError.
    void append(std::string_view bytes);

private:
    std::string path_;
    FileDescriptor fd_;
};

} // namespace clickpath::platform
