#pragma once

#include <cstdint>
#include <functional>

namespace clickpath::app {
class ToolContext;
}

namespace clickpath::recording {

// Follows the left and right buttons of the system mouse whichever window has
// the focus: the left one for the recorder and "Click!", the right one as the
// stop request.
class MouseWatcher {
public:
    // `notification` is where the device's notifications go: the window's
    // DXCallback, so that its errors are reported like any handler's.
    MouseWatcher(app::ToolContext& tool, std::function<void(std::int32_t)> notification);

    // Opens the system mouse and starts delivery; throws when it cannot be had.
    void openMouseWatcher();
    // Handles up to 10 waiting items; the rest come with the next notification.
    void DXCallback(std::int32_t eventId);
    // Handles at once every item that came before this call, so that a
    // handler can start from what the buttons did up to now.
    void catchUp();
    // Shutdown: stop delivery, then let go of the device.
    void stopDelivery();
    void releaseDevice();

    static constexpr int kBufferSize = 100;
    static constexpr int kItemsPerCallback = 10;

private:
    // Reads up to one callback's worth of items and handles them; returns how many.
    int handleWaitingItems();
    void onLeftButton(std::int32_t data);

    app::ToolContext& tool_;
    std::function<void(std::int32_t)> notification_;
};

} // namespace clickpath::recording
