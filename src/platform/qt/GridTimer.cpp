#include "platform/qt/GridTimer.h"

#include <algorithm>
#include <cmath>

namespace clickpath::platform::qt {

namespace {
// Qt's timers take whole milliseconds; a day is longer than any pause.
constexpr double kMaxWakeMs = 24 * 3600 * 1000.0;
} // namespace

GridTimer::GridTimer(std::chrono::nanoseconds interval)
    : grid_(interval.count(), kTickCatchUpLimit)
{
    clock_.start();
    shot_.setSingleShot(true);
    shot_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&shot_, &QTimer::timeout, [this] { fire(); });
}

void GridTimer::startTicking()
{
    if (mode_ == Mode::Ticking)
        return;
    ++starts_;
    mode_ = Mode::Ticking;
    grid_.start(now());
    armForDeadline();
}

void GridTimer::wakeAfter(double seconds)
{
    ++starts_;
    mode_ = Mode::Waking;
    // Rounded up: a pause never ends before its time.
    shot_.start(static_cast<int>(std::clamp(std::ceil(seconds * 1000), 0.0, kMaxWakeMs)));
}

void GridTimer::stop()
{
    ++starts_;
    mode_ = Mode::Off;
    shot_.stop();
}

void GridTimer::fire()
{
    const unsigned startsBefore = starts_;
    const Mode firing = mode_;
    if (firing == Mode::Waking)
        mode_ = Mode::Off;
    if (tick_)
        tick_();
    if (starts_ != startsBefore || firing != Mode::Ticking)
        return; // stopped, woken or started afresh by the tick itself
    grid_.ticked(now());
    armForDeadline();
}

void GridTimer::armForDeadline()
{
    // The nearest whole millisecond keeps each tick within half a
    // millisecond of its deadline.
    const double remainingMs = static_cast<double>(grid_.deadline() - now()) / 1e6;
    shot_.start(std::max(0, static_cast<int>(std::lround(remainingMs))));
}

} // namespace clickpath::platform::qt
