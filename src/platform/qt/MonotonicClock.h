#pragma once

#include "platform/Clock.h"

#include <QElapsedTimer>

namespace clickpath::platform::qt {

// Monotonic seconds since the tool started: small numbers keep their
// fractions even when held in single precision, and there is no midnight.
class MonotonicClock final : public Clock {
public:
    MonotonicClock() { elapsed_.start(); }
    double seconds() override { return static_cast<double>(elapsed_.nsecsElapsed()) / 1e9; }

private:
    QElapsedTimer elapsed_;
};

} // namespace clickpath::platform::qt
