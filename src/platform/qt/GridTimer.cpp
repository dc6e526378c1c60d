#include "platform/qt/GridTimer.h"

#include "platform/qt/QtEventPump.h"

#include <algorithm>
#include <cmath>

namespace clickpath::platform::qt {

namespace {
// A tick delayed by a stall is made up for if the stall lasted at most this
// many intervals; beyond, the grid starts again.
constexpr int kMaxIntervalsBehind = 5;
} // namespace

GridTimer::GridTimer(int intervalMs)
    : intervalMs_(intervalMs)
    , grid_(std::int64_t{intervalMs} * 1'000'000, kMaxIntervalsBehind)
{
    clock_.start();
    shot_.setSingleShot(true);
    shot_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&shot_, &QTimer::timeout, [this] { fire(); });
}

void GridTimer::start()
{
    ++starts_;
    active_ = true;
    grid_.start(now());
    armForDeadline();
}

void GridTimer::stop()
{
    ++starts_;
    active_ = false;
    shot_.stop();
}

void GridTimer::setRunning(bool running)
{
    if (!running)
        stop();
    else if (!active_)
        start();
}

void GridTimer::fire()
{
    // The next tick is armed only once this one has returned: a tick that
    // pumps events while it waits is never entered a second time.
    const unsigned startsBefore = starts_;
    const unsigned long pumpsBefore = QtEventPump::pumps();
    if (tick_)
        tick_();
    if (starts_ != startsBefore)
        return; // stopped, or started afresh, by the tick itself
    grid_.ticked(now(), QtEventPump::pumps() != pumpsBefore);
    armForDeadline();
}

void GridTimer::armForDeadline()
{
    // Qt's timers count whole milliseconds: the nearest one keeps each tick
    // within half a millisecond of its deadline.
    const double remainingMs = static_cast<double>(grid_.deadline() - now()) / 1e6;
    shot_.start(std::max(0, static_cast<int>(std::lround(remainingMs))));
}

} // namespace clickpath::platform::qt
