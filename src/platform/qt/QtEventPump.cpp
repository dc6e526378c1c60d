#include "platform/qt/QtEventPump.h"

#include <QCoreApplication>

namespace clickpath::platform::qt {

QtEventPump::QtEventPump()
{
    wake_.setSingleShot(true);
    wake_.setTimerType(Qt::PreciseTimer);
}

void QtEventPump::pumpOnce()
{
    // WaitForMoreEvents alone could sleep for minutes; the wake timer bounds
    // it, and any input or notification returns earlier.
    wake_.start(10);
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    wake_.stop();
}

} // namespace clickpath::platform::qt
