#pragma once

#include "platform/Ticker.h"
#include "platform/qt/TickGrid.h"

#include <QElapsedTimer>
#include <QTimer>

#include <chrono>
#include <memory>

namespace clickpath::platform::qt {

// A Ticker whose ticks fall due on a fixed grid of its interval from the
// moment it starts (see TickGrid). QTimer counts each tick from the previous
// one once a tick is a whole interval late, so that one stall shifts every
// later tick of a recording or a replay for good.
class GridTimer final : public Ticker {
public:
    explicit GridTimer(std::chrono::nanoseconds interval);

    void onTick(std::function<void()> tick) override { tick_ = std::move(tick); }
    void startTicking() override;
    void wakeAfter(double seconds) override;
    void stop() override;
    bool active() const override { return mode_ != Mode::Off; }

private:
    enum class Mode { Off, Ticking, Waking };

    void fire();
    void armForDeadline();
    std::int64_t now() const { return clock_.nsecsElapsed(); }

    TickGrid grid_;
    QElapsedTimer clock_;
    QTimer shot_;
    std::function<void()> tick_;
    Mode mode_ = Mode::Off;
    unsigned starts_ = 0; // tells a tick whether it stopped or restarted its timer
};

// A GridTimer, as the services' ticker factory.
inline std::unique_ptr<Ticker> makeGridTimer(std::chrono::nanoseconds interval)
{
    return std::make_unique<GridTimer>(interval);
}

} // namespace clickpath::platform::qt
