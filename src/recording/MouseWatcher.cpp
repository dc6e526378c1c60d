#include "recording/MouseWatcher.h"

#include <array>

namespace clickpath::recording {

MouseWatcher::MouseWatcher(
    core::Controls& controls, Opener openMouse, LeftButtonLatch& latch, std::function<void()> stopRequest)
    : controls_(controls)
    , openMouse_(std::move(openMouse))
    , latch_(latch)
    , stopRequest_(std::move(stopRequest))
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

void MouseWatcher::catchUp()
{
    if (!delivering_)
        return;
    mouse_->takeWaiting();
    while (handleItems() == kItemsPerNotification) {}
}

std::size_t MouseWatcher::handleItems()
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
        if (items[i].button == platform::MouseButton::Left)
            onLeftButton(items[i].pressed);
        else
            stopRequest_(); // press and release alike
    }
    return count;
}

void MouseWatcher::onLeftButton(bool pressed)
{
    if (pressed) {
        latch_.pressed();
        controls_.setLabelText(core::Label::ClickShown, QStringLiteral("Click!"));
        controls_.repaintNow();
    } else {
        latch_.released();
        controls_.setLabelText(core::Label::ClickShown, QString());
    }
}

void MouseWatcher::stopDelivery()
{
    if (delivering_)
        mouse_->stop();
    delivering_ = false;
}

} // namespace clickpath::recording
