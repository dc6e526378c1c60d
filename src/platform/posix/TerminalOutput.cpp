#include "platform/posix/TerminalOutput.h"

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
    if (!flush() && isTerminal())
        leaveToChild();
    if (isTerminal())
        ::close(terminal_);
}

// The terminal is paused (Ctrl+S) and the program ends now: a child of its
// own writes what is left once the terminal takes it again. The shell's
// prompt then waits behind it in the terminal's write lock, so the last line
// stays whole and ended.
void TerminalOutput::leaveToChild()
{
    if (::fork() != 0)
        return; // the parent goes on ending; a child that could not be made loses the rest
    // Only the terminal stays open: a pipe on standard output would otherwise
    // not end for its reader until the terminal goes on.
    ::close_range(0, static_cast<unsigned>(terminal_) - 1, 0);
    ::close_range(static_cast<unsigned>(terminal_) + 1, ~0U, 0);
    ::fcntl(terminal_, F_SETFL, ::fcntl(terminal_, F_GETFL) & ~O_NONBLOCK);
    for (std::size_t done = 0; done < waiting_.size();) {
        const ssize_t put = ::write(terminal_, waiting_.data() + done, waiting_.size() - done);
        if (put < 0 && errno != EINTR)
            break;
        done += put > 0 ? static_cast<std::size_t>(put) : 0;
    }
    ::_exit(0);
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
