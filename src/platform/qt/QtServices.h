#pragma once

#include "platform/Clock.h"
#include "platform/MessageSink.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <random>

namespace clickpath::platform::qt {

// Monotonic seconds since the tool started: small numbers keep their
// fractions even when held in single precision, and there is no midnight.
class MonotonicClock final : public Clock {
public:
    MonotonicClock();
    double seconds() override;

private:
    QElapsedTimer elapsed_;
};

// A generator seeded once from the system's entropy; every draw is fresh.
class SeededRandom final : public RandomSource {
public:
    SeededRandom();
    double next() override;

private:
    std::mt19937_64 engine_;
};

// Pumps Qt's events once, waking after 10 ms at the latest.
class QtEventPump final : public EventPump {
public:
    QtEventPump();
    void pumpOnce() override;

private:
    QTimer wake_;
};

// Message boxes over the window.
class QtMessageSink final : public MessageSink {
public:
    void setParent(QWidget* parent) { parent_ = parent; }
    void showError(const QString& text) override;
    void showWarning(const QString& text) override;

private:
    QPointer<QWidget> parent_;
};

} // namespace clickpath::platform::qt
