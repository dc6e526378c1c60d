#include "playback/PacingWait.h"

#include "core/NumberText.h"

#include <algorithm>

namespace clickpath::playback {

std::optional<WaitStanding> waitStanding(double start, double length, double now)
{
    const double end = start + length;
    if (!(end >= now))
        return WaitStanding{.over = true};
    const auto left = core::integerOf(end - now); // halves to even, as the countdown always counted
    if (!left)
        return std::nullopt;
    // Until the countdown's next number or the end, and just past it, so
    // that the change is there when playback looks again.
    constexpr double kPast = 0.001;
    const double nextNumber = end - *left + 0.5;
    return WaitStanding{.secondsLeft = *left, .unchangedFor = std::max(0.0, std::min(nextNumber, end) - now + kPast)};
}

} // namespace clickpath::playback
