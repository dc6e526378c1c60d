#include "platform/TerminalOutput.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace clickpath::platform {

namespace {

// A few screenfuls; past that the terminal is not being read.
constexpr std::size_t kMaxWaiting = 64 * 1024;

} // namespace

TerminalOutput::TerminalOutput()
{
    // A new open of the terminal, so that its O_NONBLOCK is ours alone.
    if (::isatty(STDERR_FILENO) == 1)
        fd_ = ::open("/proc/self/fd/2", O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
}

TerminalOutput::~TerminalOutput()
{
    flush();
    if (fd_ != -1)
        ::close(fd_);
}

bool TerminalOutput::flush()
{
    while (!waiting_.empty()) {
        const ssize_t put = ::write(fd_, waiting_.data(), waiting_.size());
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return false;
        waiting_.erase(0, static_cast<std::size_t>(put));
    }
    return true;
}

void TerminalOutput::showFrame(std::string_view bytes)
{
    if (fd_ != -1 && flush())
        write(bytes);
}

void TerminalOutput::write(std::string_view bytes)
{
    if (fd_ == -1) {
        while (!bytes.empty()) {
            const ssize_t put = ::write(STDERR_FILENO, bytes.data(), bytes.size());
            if (put < 0 && errno == EINTR)
                continue;
            if (put <= 0)
                return;
            bytes.remove_prefix(static_cast<std::size_t>(put));
        }
        return;
    }
    if (waiting_.size() + bytes.size() <= kMaxWaiting)
        waiting_.append(bytes);
    flush();
}

} // namespace clickpath::platform
