#include "platform/qt/ButtonDelivery.h"

#include <QTimer>

namespace clickpath::platform::qt {

ButtonDelivery::ButtonDelivery(QObject* context, std::function<void()> refill)
    : context_(context)
    , refill_(std::move(refill))
{
}

void ButtonDelivery::start(int capacity, std::function<void()> itemsWaiting)
{
    capacity_ = static_cast<std::size_t>(capacity);
    itemsWaiting_ = std::move(itemsWaiting);
}

void ButtonDelivery::stop()
{
    delivering_ = false;
    buffer_.clear();
    itemsWaiting_ = nullptr;
}

void ButtonDelivery::resume()
{
    delivering_ = true;
    scheduleNotify();
}

void ButtonDelivery::add(ButtonItem item)
{
    if (delivering_ && buffer_.size() < capacity_)
        buffer_.push_back(item);
}

std::size_t ButtonDelivery::read(std::span<ButtonItem> out)
{
    std::size_t count = 0;
    for (; count < out.size() && !buffer_.empty(); ++count) {
        out[count] = buffer_.front();
        buffer_.pop_front();
    }
    return count;
}

void ButtonDelivery::notify()
{
    if (buffer_.empty() || !itemsWaiting_ || !delivering_)
        return;
    // A copy: the callback may stop delivery, which lets go of the original.
    const std::function<void()> callback = itemsWaiting_;
    callback();
    if (!buffer_.empty())
        scheduleNotify();
}

void ButtonDelivery::scheduleNotify()
{
    if (notifyScheduled_)
        return;
    notifyScheduled_ = true;
    QTimer::singleShot(0, context_, [this] {
        notifyScheduled_ = false;
        if (refill_)
            refill_();
        notify();
    });
}

} // namespace clickpath::platform::qt
