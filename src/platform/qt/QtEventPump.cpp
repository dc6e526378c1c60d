#include "platform/qt/QtEventPump.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>

namespace clickpath::platform::qt {

QtEventPump::QtEventPump()
{
    wake_.setSingleShot(true);
    wake_.setTimerType(Qt::PreciseTimer);
}

void QtEventPump::pumpOnce(double seconds)
{
    // WaitForMoreEvents alone would sleep until the next event; the wake
    // timer ends it in time, to the millisecond.
    constexpr double kMaxMs = 24 * 3600 * 1000.0;
    ++pumps_;
    wake_.start(static_cast<int>(std::clamp(std::ceil(seconds * 1000), 0.0, kMaxMs)));
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    wake_.stop();
}

} // namespace clickpath::platform::qt
