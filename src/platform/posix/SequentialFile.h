#pragma once

#include "core/RecordingFormat.h"

#include <QString>

#include <string>
#include <string_view>
#include <utility>

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
    // Hands the descriptor over; this owner closes nothing then.
    int release() { return std::exchange(fd_, -1); }

private:
    int fd_;
};

// Refuses a path that exists and is a pipe, a device or a socket: the tool
// reads and writes regular files only, since a named pipe would block it
// until its other end opens and a device such as /dev/zero never ends.
// Throws a ToolError "`failure`: it is not a regular file".
void refuseSpecialFile(const std::string& path, const std::string& failure);

// Opens a regular file with open(2)'s `flags`, never waiting on the way,
// and truncates it after the check when O_TRUNC is among them. Throws a
// ToolError "`failure`: <reason>" for anything else or when it cannot be opened.
int openRegularFile(const std::string& path, int flags, const std::string& failure);

// A file read from start to end.
class InputFile : public core::ByteInput {
public:
    // Throws a ToolError naming the path and the reason when it cannot be read.
    explicit InputFile(const QString& path);

    std::size_t readSome(std::span<char> into) override;

private:
    std::string path_;
    FileDescriptor fd_;
};

// A file written from its start, created or truncated when opened.
class OutputFile : public core::ByteOutput {
public:
    // Throws a ToolError naming the path and the reason when it cannot be written.
    explicit OutputFile(const QString& path);

    // The bytes survive a crash of the tool once this returns.
    void append(std::string_view bytes) override;

private:
    std::string path_;
    FileDescriptor fd_;
};

// A recording on disk, read record by record. Throws a ToolError naming the
// path when it cannot be read.
class RecordingFileReader final : private InputFile, public core::RecordingReader {
public:
    explicit RecordingFileReader(const QString& path)
        : InputFile(path)
        , core::RecordingReader(static_cast<InputFile&>(*this))
    {
    }
};

// A recording written to disk, created or truncated when it opens. Throws a
// ToolError naming the path when it cannot be written.
class RecordingFileWriter final : private OutputFile, public core::RecordingWriter {
public:
    explicit RecordingFileWriter(const QString& path)
        : OutputFile(path)
        , core::RecordingWriter(static_cast<OutputFile&>(*this))
    {
    }
    using core::RecordingWriter::append;
};

} // namespace clickpath::platform
