#include "platform/FileTable.h"

#include "platform/ToolError.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace clickpath::platform {

namespace {

constexpr std::size_t kReadChunk = 64 * 1024;

std::string systemReason(int error)
{
    return std::strerror(error);
}

} // namespace

struct FileTable::OpenFile {
    int fd = -1;
    bool forInput = false;
    std::string path;
    std::vector<char> buffer;
    std::size_t position = 0;
    std::size_t filled = 0;

    ~OpenFile()
    {
        if (fd >= 0)
            ::close(fd);
    }

    bool refill()
    {
        buffer.resize(kReadChunk);
        for (;;) {
            const ssize_t got = ::read(fd, buffer.data(), buffer.size());
            if (got >= 0) {
                position = 0;
                filled = static_cast<std::size_t>(got);
                return got > 0;
            }
            if (errno != EINTR)
                throw ToolError("Cannot read " + path + ": " + systemReason(errno));
        }
    }
};

FileTable::FileTable() = default;
FileTable::~FileTable() = default;

bool FileTable::inRange(std::int32_t number)
{
    return number >= kFirstNumber && number <= kLastNumber;
}

std::int32_t FileTable::freeNumber() const
{
    for (std::int32_t n = kFirstNumber; n <= kLastNumber; ++n) {
        if (!files_[n])
            return n;
    }
    throw ToolError("Too many files open");
}

bool FileTable::isOpen(std::int32_t number) const
{
    return inRange(number) && files_[number] != nullptr;
}

void FileTable::openForOutput(std::int32_t number, const std::string& path)
{
    if (!inRange(number))
        throw ToolError("Bad file number " + std::to_string(number));
    if (files_[number])
        throw ToolError("File number " + std::to_string(number) + " is already open");
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        throw ToolError("Cannot open " + path + " for writing: " + systemReason(errno));
    auto file = std::make_unique<OpenFile>();
    file->fd = fd;
    file->path = path;
    files_[number] = std::move(file);
}

void FileTable::openForInput(std::int32_t number, const std::string& path)
{
    if (!inRange(number))
        throw ToolError("Bad file number " + std::to_string(number));
    if (files_[number])
        throw ToolError("File number " + std::to_string(number) + " is already open");
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw ToolError("Cannot open " + path + ": " + systemReason(errno));
    auto file = std::make_unique<OpenFile>();
    file->fd = fd;
    file->forInput = true;
    file->path = path;
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode))
        throw ToolError("Cannot open " + path + ": " + systemReason(EISDIR));
    files_[number] = std::move(file);
}

void FileTable::close(std::int32_t number)
{
    if (inRange(number))
        files_[number].reset();
}

void FileTable::closeAll()
{
    for (auto& file : files_)
        file.reset();
}

FileTable::OpenFile& FileTable::openFile(std::int32_t number, bool forInput)
{
    if (!isOpen(number))
        throw ToolError("Bad file name or number: " + std::to_string(number) + " is not open");
    OpenFile& file = *files_[number];
    if (file.forInput != forInput)
        throw ToolError("Bad file mode: " + file.path);
    return file;
}

void FileTable::write(std::int32_t number, std::string_view bytes)
{
    OpenFile& file = openFile(number, false);
    const off_t start = ::lseek(file.fd, 0, SEEK_CUR);
    while (!bytes.empty()) {
        const ssize_t put = ::write(file.fd, bytes.data(), bytes.size());
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0) {
            const int reason = put < 0 ? errno : EIO;
            // Drop a partly written piece so the file ends on a whole line.
            if (start >= 0 && ::ftruncate(file.fd, start) == 0)
                ::lseek(file.fd, start, SEEK_SET);
            throw ToolError("Cannot write to " + file.path + ": " + systemReason(reason));
        }
        bytes.remove_prefix(static_cast<std::size_t>(put));
    }
}

int FileTable::peekByte(std::int32_t number)
{
    OpenFile& file = openFile(number, true);
    if (file.position == file.filled && !file.refill())
        return -1;
    return static_cast<unsigned char>(file.buffer[file.position]);
}

void FileTable::takeByte(std::int32_t number)
{
    OpenFile& file = openFile(number, true);
    if (file.position < file.filled)
        ++file.position;
}

} // namespace clickpath::platform
