#include "platform/posix/SequentialFile.h"

#include "core/ToolError.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace clickpath::platform {

namespace {

[[noreturn]] void fail(const std::string& what, int error)
{
    throw ToolError(what + ": " + std::strerror(error));
}

[[noreturn]] void failNotRegular(const std::string& what)
{
    throw ToolError(what + ": it is not a regular file");
}

bool isSpecial(const struct stat& info)
{
    return !S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode);
}

} // namespace

FileDescriptor::~FileDescriptor()
{
    if (fd_ >= 0)
        ::close(fd_);
}

void refuseSpecialFile(const std::string& path, const std::string& failure)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && isSpecial(info))
        failNotRegular(failure);
}

int openRegularFile(const std::string& path, int flags, const std::string& failure)
{
    // Checked before the open too: opening a pipe for writing without a
    // reader fails with a reason that would say nothing to the user.
    refuseSpecialFile(path, failure);
    FileDescriptor fd(::open(path.c_str(), (flags & ~O_TRUNC) | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666));
    if (fd.get() < 0)
        fail(failure, errno);
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0)
        fail(failure, errno);
    if (S_ISDIR(info.st_mode))
        fail(failure, EISDIR);
    if (isSpecial(info)) // replaced since the first look
        failNotRegular(failure);
    if (::fcntl(fd.get(), F_SETFL, ::fcntl(fd.get(), F_GETFL) & ~O_NONBLOCK) != 0)
        fail(failure, errno);
    if ((flags & O_TRUNC) && ::ftruncate(fd.get(), 0) != 0)
        fail(failure, errno);
    return fd.release();
}

InputFile::InputFile(const QString& path)
    : path_(QFile::encodeName(path).toStdString())
    , fd_(openRegularFile(path_, O_RDONLY, "Cannot open " + path_))
{
}

std::size_t InputFile::readSome(std::span<char> into)
{
    for (;;) {
        const ssize_t got = ::read(fd_.get(), into.data(), into.size());
        if (got >= 0)
            return static_cast<std::size_t>(got);
        if (errno != EINTR)
            fail("Cannot read " + path_, errno);
    }
}

OutputFile::OutputFile(const QString& path)
    : path_(QFile::encodeName(path).toStdString())
    , fd_(openRegularFile(path_, O_WRONLY | O_CREAT | O_TRUNC, "Cannot open " + path_ + " for writing"))
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
