#pragma once

#include <functional>
#include <memory>

class QSocketNotifier;

namespace clickpath::platform::posix {

// The signals that end a program politely, as calls on the Qt thread: SIGHUP
// (a closed terminal or a logout), SIGINT, SIGQUIT, SIGTERM, SIGPIPE, SIGALRM,
// SIGUSR1 and SIGUSR2. A signal handler may do next to nothing, so it only
// writes the signal's number into a pipe, which a socket notifier reads: a
// wait that pumps events sees it at once. Once the first has been handled, a
// second signal ends the process as usual. Fault signals are left alone.
class UnixSignals final {
public:
    // Throws a ToolError when the pipe cannot be had. One at a time.
    explicit UnixSignals(std::function<void(int signal)> received);
    ~UnixSignals();
    UnixSignals(const UnixSignals&) = delete;
    UnixSignals& operator=(const UnixSignals&) = delete;

private:
    void readSignal();

    std::function<void(int)> received_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

} // namespace clickpath::platform::posix
