#include "platform/posix/UnixSignals.h"

#include "core/ToolError.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace clickpath::platform::posix {

namespace {

int pipeEnds[2] = {-1, -1};

constexpr int kEndingSignals[] = {SIGHUP, SIGINT, SIGQUIT, SIGTERM, SIGPIPE, SIGALRM, SIGUSR1, SIGUSR2};

void onSignal(int signal)
{
    // The interrupted code may be about to read errno after a failed call.
    const int savedErrno = errno;
    const unsigned char number = static_cast<unsigned char>(signal);
    [[maybe_unused]] const auto written = ::write(pipeEnds[1], &number, 1);
    errno = savedErrno;
}

void handleAll(void (*handler)(int))
{
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : kEndingSignals)
        sigaction(signal, &action, nullptr);
}

} // namespace

UnixSignals::UnixSignals(std::function<void(int signal)> received)
    : received_(std::move(received))
{
    if (::pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0)
        throw ToolError("Cannot watch for signals: no pipe");
    notifier_ = std::make_unique<QSocketNotifier>(pipeEnds[0], QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { readSignal(); });
    handleAll(onSignal);
}

UnixSignals::~UnixSignals()
{
    handleAll(SIG_DFL);
    notifier_.reset();
    ::close(pipeEnds[0]);
    ::close(pipeEnds[1]);
}

void UnixSignals::readSignal()
{
    unsigned char number = 0;
    while (::read(pipeEnds[0], &number, 1) == 1) {
        // The stop first, and only then may a second signal end the process:
        // by then no replayed press is held.
        received_(number);
        handleAll(SIG_DFL);
    }
}

} // namespace clickpath::platform::posix
