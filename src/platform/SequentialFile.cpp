#include "platform/SequentialFile.h"

#include "platform/ToolError.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace clickpath::platform {

namespace {

constexpr std::size_t kReadChunk = 64 * 1024;

[[noreturn]] void fail(const std::string& what, int error)
{
    throw ToolError(what + ": " + std::strerror(error));
}

// Opens the file; a failure names it, with `purpose` after the path.
int openOrFail(const std::string& path, int flags, const char* purpose)
{
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC, 0666);
    if (fd < 0)
        fail("Cannot open " + path + purpose, errno);
    return fd;
}

} // namespace

FileDescriptor::~FileDescriptor()
{
    ::close(fd_);
}

InputFile::InputFile(const QString& path)
    : path_(QFile::encodeName(path).toStdString())
    , fd_(openOrFail(path_, O_RDONLY, ""))
{
    struct stat info {};
    if (::fstat(fd_.get(), &info) == 0 && S_ISDIR(info.st_mode))
        fail("Cannot open " + path_, EISDIR);
}

bool InputFile::refill()
{
    buffer_.resize(kReadChunk);
    for (;;) {
        const ssize_t got = ::read(fd_.get(), buffer_.data(), buffer_.size());
        if (got >= 0) {
            position_ = 0;
            filled_ = static_cast<std::size_t>(got);
            return got > 0;
        }
        if (errno != EINTR)
            fail("Cannot read " + path_, errno);
    }
}

int InputFile::peekByte()
{
    if (position_ == filled_ && !refill())
        return -1;
    return static_cast<unsigned char>(buffer_[position_]);
}

void InputFile::takeByte()
{
    ++position_;
}

OutputFile::OutputFile(const QString& path)
    : path_(QFile::encodeName(path).toStdString())
    , fd_(openOrFail(path_, O_WRONLY | O_CREAT | O_TRUNC, " for writing"))
{
}

void OutputFile::append(std::string_view bytes)
{
    const off_t start = ::lseek(fd_.get(), 0, SEEK_CUR);
    while (!bytes.empty()) {
        const ssize_t put = ::write(fd_.get(), bytes.data(), bytes.size());
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0) {
            const int reason = put < 0 ? errno : EIO;
            // Drop a partly written piece so the file ends on a whole line.
            if (start >= 0 && ::ftruncate(fd_.get(), start) == 0)
                ::lseek(fd_.get(), start, SEEK_SET);
            fail("Cannot write to " + path_, reason);
        }
        bytes.remove_prefix(static_cast<std::size_t>(put));
    }
}

} // namespace clickpath::platform
