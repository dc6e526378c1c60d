#pragma once

#include "core/Controls.h"
#include "platform/MouseButtonSource.h"
#include "recording/LeftButtonLatch.h"

#include <functional>
#include <memory>

namespace clickpath::recording {

// Follows the left and right buttons of the system mouse whichever window has
// the focus: the left one for the recorder and "Click!", the right one as the
// stop request, on every press and every release.
class MouseWatcher {
public:
    using Opener = std::function<std::unique_ptr<platform::MouseButtonSource>()>;

    MouseWatcher(core::Controls& controls, Opener openMouse, LeftButtonLatch& latch, std::function<void()> stopRequest);

    // Opens the system mouse and starts delivery; `notification` runs
    // whenever items wait, and should call handleWaitingItems(). Throws when
    // the mouse cannot be had.
    void open(std::function<void()> notification);
    // Handles up to 10 waiting items; the rest come with the next notification.
    void handleWaitingItems();
    // Handles at once every item that came before this call, so that a
    // handler can start from what the buttons did up to now.
    void catchUp();
    // Shutdown: stop delivery, then let go of the mouse.
    void stopDelivery();
    void release() { mouse_.reset(); }

    static constexpr int kBufferSize = 100;
    static constexpr std::size_t kItemsPerNotification = 10;

private:
    // Reads up to one notification's worth of items and handles them; returns how many.
    std::size_t handleItems();
    void onLeftButton(bool pressed);

    core::Controls& controls_;
    Opener openMouse_;
    LeftButtonLatch& latch_;
    std::function<void()> stopRequest_;
    std::unique_ptr<platform::MouseButtonSource> mouse_;
    bool delivering_ = false;
};

} // namespace clickpath::recording
