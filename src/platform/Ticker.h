#pragma once

#include <functional>

namespace clickpath::platform {

// What drives recording and playback: ticks on a fixed grid of one interval,
// or a single wake-up at a time of the caller's choosing. Either calls the
// tick function; nothing ever runs inside it.
class Ticker {
public:
    virtual ~Ticker() = default;
    virtual void onTick(std::function<void()> tick) = 0;
    // Ticks from now on, the first one interval from now; a ticker that
    // already ticks keeps its rhythm.
    virtual void startTicking() = 0;
    // One tick after `seconds`, in place of the grid: the end of a pause.
    virtual void wakeAfter(double seconds) = 0;
    virtual void stop() = 0;
    // Ticking or waiting to wake.
    virtual bool active() const = 0;
};

} // namespace clickpath::platform
