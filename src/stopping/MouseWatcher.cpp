#include "stopping/MouseWatcher.h"

#include <array>

namespace clickpath::stopping {

MouseWatcher::MouseWatcher(Opener openMouse, ButtonObserver& observer, StopController& stops)
    : openMouse_(std::move(openMouse))
    , observer_(observer)
    , stops_(stops)
{
}

void MouseWatcher::open(std::function<void()> notification)
{
    mouse_ = openMouse_();
    mouse_->start(kBufferSize, std::move(notification));
    delivering_ = true;
}

void MouseWatcher::handleWaitingItems()
{
    // A late notification after the close of delivery changes nothing.
    if (delivering_)
        handleItems();
}

void MouseWatcher::catchUp(bool secondaryStops)
{
    if (!delivering_)
        return;
    mouse_->takeWaiting();
    while (handleItems(secondaryStops) == kItemsPerNotification) {}
}

std::size_t MouseWatcher::handleItems(bool secondaryStops)
{
    std::array<platform::ButtonItem, kItemsPerNotification> items{};
    std::size_t count = 0;
    try {
        count = mouse_->read(items);
    } catch (const std::exception&) {
        // A failed read reports nothing: take the mouse again and go on.
        try {
            mouse_->resume();
        } catch (const std::exception&) {
        }
    }
    for (std::size_t i = 0; i < count; ++i) {
        if (items[i].button == platform::MouseButton::Primary)
            observer_.primaryButton(items[i].pressed);
        else if (secondaryStops)
            stops_.request({StopReason::SecondaryButton});
    }
    return count;
}

void MouseWatcher::stopDelivery()
{
    if (delivering_)
        mouse_->stop();
    delivering_ = false;
}

} // namespace clickpath::stopping
