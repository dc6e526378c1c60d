#pragma once

#include "platform/MouseButtonSource.h"

#include <deque>
#include <functional>

class QObject;

namespace clickpath::platform::qt {

// The buffer and the notifications that every mouse button source shares.
// Items are kept, up to the capacity, while delivery runs; the callback runs
// on the Qt thread while some wait, and again from the event loop when it
// left some behind: a descriptor that has gone quiet would never say so.
class ButtonDelivery {
public:
    // Scheduled notifications die with `context`; `refill` runs before each
    // of them and takes in what the source holds but its notifier cannot see.
    explicit ButtonDelivery(QObject* context, std::function<void()> refill = {});

    void start(int capacity, std::function<void()> itemsWaiting);
    // Nothing is kept or notified until resume().
    void stop();
    // Delivery again, with a notification for what already waits.
    void resume();
    bool delivering() const { return delivering_; }
    // Keeps the item while delivering and below the capacity; later ones are lost.
    void add(ButtonItem item);
    std::size_t read(std::span<ButtonItem> out);
    void notify();

private:
    void scheduleNotify();

    QObject* context_;
    std::function<void()> refill_;
    std::function<void()> itemsWaiting_;
    bool delivering_ = false;
    bool notifyScheduled_ = false;
    std::size_t capacity_ = 0;
    std::deque<ButtonItem> buffer_;
};

} // namespace clickpath::platform::qt
