#include "platform/TerminalOutput.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/ioctl.h>
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
        terminal_ = ::open("/proc/self/fd/2", O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
}

int TerminalOutput::columns() const
{
    winsize size{};
    return isTerminal() && ::ioctl(terminal_, TIOCGWINSZ, &size) == 0 ? size.ws_col : 0;
}

TerminalOutput::~TerminalOutput()
{
    flush();
    if (isTerminal())
        ::close(terminal_);
}

bool TerminalOutput::flush()
{
    const int fd = isTerminal() ? terminal_ : STDERR_FILENO;
    while (!waiting_.empty()) {
        const ssize_t put = ::write(fd, waiting_.data(), waiting_.size());
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
    if (isTerminal() && flush())
        write(bytes);
}

void TerminalOutput::write(std::string_view bytes)
{
    if (waiting_.size() + bytes.size() <= kMaxWaiting)
        waiting_.append(bytes);
    flush();
}

} // namespace clickpath::platform
