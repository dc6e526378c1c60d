#include "platform/qt/QtServices.h"

#include <QCoreApplication>
#include <QMessageBox>

namespace clickpath::platform::qt {

MonotonicClock::MonotonicClock()
{
    elapsed_.start();
}

double MonotonicClock::seconds()
{
    return static_cast<double>(elapsed_.nsecsElapsed()) / 1e9;
}

SeededRandom::SeededRandom()
    : engine_(std::random_device{}())
{
}

double SeededRandom::next()
{
    // 53 random bits scaled into [0, 1): never 1, unlike some distributions.
    return static_cast<double>(engine_() >> 11) * 0x1.0p-53;
}

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

void QtMessageSink::showError(const QString& text)
{
    QMessageBox::critical(parent_, QCoreApplication::applicationName(), text);
}

void QtMessageSink::showWarning(const QString& text)
{
    QMessageBox::warning(parent_, QCoreApplication::applicationName(), text);
}

} // namespace clickpath::platform::qt
