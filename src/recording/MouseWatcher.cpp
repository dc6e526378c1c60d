#include "recording/MouseWatcher.h"

#include "app/ToolContext.h"
#include "platform/MouseButtonSource.h"
#include "recording/StopRequest.h"

#include <array>

namespace clickpath::recording {

MouseWatcher::MouseWatcher(app::ToolContext& tool, std::function<void(std::int32_t)> notification)
    : tool_(tool)
    , notification_(std::move(notification))
{
}

void MouseWatcher::openMouseWatcher()
{
    app::ToolState& state = tool_.state;
    state.mouseDevice = tool_.services.openMouseDevice();
    state.mouseDevice->setBufferSize(kBufferSize);
    state.mouseEvent = state.mouseDevice->createEvent(notification_);
    state.mouseDevice->acquire();
}

void MouseWatcher::DXCallback(std::int32_t eventId)
{
    if (eventId != tool_.state.mouseEvent || !tool_.state.mouseDevice)
        return;
    handleWaitingItems();
}

void MouseWatcher::catchUp()
{
    if (!tool_.state.mouseEvent || !tool_.state.mouseDevice)
        return;
    tool_.state.mouseDevice->takeWaiting();
    while (handleWaitingItems() == kItemsPerCallback) {
    }
}

int MouseWatcher::handleWaitingItems()
{
    app::ToolState& state = tool_.state;
    std::array<platform::ButtonItem, kItemsPerCallback> items{};
    int count = 0;
    try {
        count = state.mouseDevice->readItems(items.data(), kItemsPerCallback);
    } catch (const std::exception&) {
        // A failed read reports nothing: take the device again and go on.
        count = 0;
        try {
            state.mouseDevice->acquire();
        } catch (const std::exception&) {
        }
    }
    for (int i = 0; i < count; ++i) {
        if (items[i].offsetCode == platform::kLeftButtonOffset)
            onLeftButton(items[i].data);
        else if (items[i].offsetCode == platform::kRightButtonOffset)
            stopRequest(tool_); // press and release alike
    }
    return count;
}

void MouseWatcher::onLeftButton(std::int32_t data)
{
    app::ToolState& state = tool_.state;
    state.leftButton = data;
    if (data == platform::kItemPressed) {
        // Kept until the recorder's next tick, so a click shorter than a tick
        // still shows in the recording.
        state.leftPressSeen = 1;
        tool_.controls.setLabelCaption(app::LabelId::Label6, QStringLiteral("Click!"));
        tool_.controls.repaintNow();
    } else {
        tool_.controls.setLabelCaption(app::LabelId::Label6, QString());
    }
}

void MouseWatcher::stopDelivery()
{
    app::ToolState& state = tool_.state;
    if (state.mouseDevice) {
        state.mouseDevice->unacquire();
        state.mouseDevice->destroyEvent(state.mouseEvent);
    }
    state.mouseEvent = 0;
}

void MouseWatcher::releaseDevice()
{
    tool_.state.mouseDevice.reset();
}

} // namespace clickpath::recording
