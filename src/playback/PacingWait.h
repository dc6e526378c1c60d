#pragma once

#include <cstdint>
#include <optional>

namespace clickpath::playback {

// Where a pause stands at a moment: over, or the whole seconds its countdown
// shows and how long nothing of that changes.
struct WaitStanding {
    bool over = false;
    std::int16_t secondsLeft = 0;
    double unchangedFor = 0; // s
};

// A pause that began at `start` and lasts `length` seconds, as of `now`
// (times of the playback clock). Nothing when the seconds left do not fit
// the countdown. A pause whose times do not compare is over.
std::optional<WaitStanding> waitStanding(double start, double length, double now);

} // namespace clickpath::playback
