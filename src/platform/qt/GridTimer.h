#pragma once

#include "platform/TickGrid.h"

#include <QElapsedTimer>
#include <QTimer>

#include <functional>

namespace clickpath::platform::qt {

// A repeating timer whose ticks fall due on a fixed grid of its interval from
// the moment it starts (see TickGrid). QTimer counts each tick from the
// previous one once a tick is a whole interval late, so that one stall shifts
// every later tick of a recording or a replay for good.
class GridTimer {
public:
    explicit GridTimer(int intervalMs);

    void onTimeout(std::function<void()> tick) { tick_ = std::move(tick); }
    void start();
    void stop();
    // Starts or stops; starting a running timer leaves its rhythm alone.
    void setRunning(bool running);
    bool isActive() const { return active_; }
    int interval() const { return intervalMs_; }

private:
    void fire();
    void armForDeadline();
    std::int64_t now() const { return clock_.nsecsElapsed(); }

    int intervalMs_;
    TickGrid grid_;
    QElapsedTimer clock_;
    QTimer shot_;
    std::function<void()> tick_;
    bool active_ = false;
    unsigned starts_ = 0; // tells a tick whether it was stopped or restarted
};

} // namespace clickpath::platform::qt
