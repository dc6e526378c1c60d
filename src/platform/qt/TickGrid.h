#pragma once

#include <cstdint>

namespace clickpath::platform::qt {

// Deadlines of a periodic tick held to a fixed grid, so that a late tick
// does not push every later one back (times in ns of a monotonic clock).
//
// A late tick (the process was not scheduled, the event loop was busy, the
// tick itself was slow) is made up for: the next ones fall due at once until
// the grid is reached again, for up to `maxBehind` intervals; further behind,
// the grid starts again from the late tick. A pause of playback is no tick:
// its end starts a new grid.
// How many intervals behind a tick may fall and still be made up for.
inline constexpr int kTickCatchUpLimit = 5;

class TickGrid {
public:
    TickGrid(std::int64_t intervalNs, int maxBehind);

    // The first deadline is one interval after `now`.
    void start(std::int64_t now);
    std::int64_t deadline() const { return deadline_; }
    // After the tick that returned at `ended`.
    void ticked(std::int64_t ended);

private:
    std::int64_t interval_;
    std::int64_t maxBehind_;
    std::int64_t deadline_ = 0;
};

} // namespace clickpath::platform::qt
