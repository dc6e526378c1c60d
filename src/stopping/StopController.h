#pragma once

#include "platform/MessageSink.h"
#include "platform/SessionWatch.h"

#include <functional>
#include <optional>
#include <vector>

namespace clickpath::stopping {

// Where a stop comes from.
enum class StopReason {
    SecondaryButton, // the mouse's right button; the left one on a left-handed desk
    Signal,          // Ctrl+C, SIGTERM, a closed terminal, a logout
    StopKey,         // the key grabbed for it (X11)
    StopCommand,     // `clickpath-cli stop`, which a desktop shortcut may run
    SessionLeft,     // another session came in front
};

struct Stop {
    StopReason reason = StopReason::SecondaryButton;
    int signal = 0; // of a StopReason::Signal
};

// Every stop of both programs goes through here. The stop sources (the
// mouse watcher, the signals, the stop key, the stop command, the session's
// watch) request one, and it ends whatever runs: a recording, playback, a
// start still being prepared. The first stop's reason stays for the
// program's end to show; a source whose stop came of itself says why.
class StopController {
public:
    // Ends something if it runs; true when it ran.
    using Run = std::function<bool()>;

    void addRun(Run run) { runs_.push_back(std::move(run)); }
    // A source's request: every run is ended. True when something ran.
    bool request(const Stop& stop);
    // The first stop requested, which the program's end may show.
    const std::optional<Stop>& first() const { return first_; }
    // The request of one kind of source, as a callback.
    std::function<void()> sourceOf(StopReason reason)
    {
        return [this, reason] { request({reason}); };
    }

private:
    std::vector<Run> runs_;
    std::optional<Stop> first_;
};

// Another session coming in front is a stop source: what runs ends, and
// `messages` says why when something ran (a stop the user made shows as the
// end of what ran; this one came of itself).
void stopWhenSessionLeft(StopController& stops, platform::SessionWatch& session, platform::MessageSink& messages);

} // namespace clickpath::stopping
