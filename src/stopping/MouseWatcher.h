#pragma once

#include "platform/MouseButtonSource.h"

#include <functional>
#include <memory>

namespace clickpath::stopping {

// What the mouse watcher reports: the left button's edges, for the recorder
// and "Click!", and the right button, which is the stop request.
class ButtonObserver {
public:
    virtual ~ButtonObserver() = default;
    virtual void leftButton(bool pressed) = 0;
    // A press or a release alike.
    virtual void rightButton() = 0;
};

// Follows the left and right buttons of the system mouse whichever window
// has the focus; recording and playback both stop through it.
class MouseWatcher {
public:
    using Opener = std::function<std::unique_ptr<platform::MouseButtonSource>()>;

    MouseWatcher(Opener openMouse, ButtonObserver& observer);

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
    // Reads up to one notification's worth of items and reports them; returns how many.
    std::size_t handleItems();

    Opener openMouse_;
    ButtonObserver& observer_;
    std::unique_ptr<platform::MouseButtonSource> mouse_;
    bool delivering_ = false;
};

} // namespace clickpath::stopping
