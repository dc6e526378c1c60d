#pragma once

#include "platform/MouseButtonSource.h"
#include "stopping/StopController.h"

#include <functional>
#include <memory>

namespace clickpath::stopping {

// What the mouse watcher reports of the primary button (the left one, or
// the right one on a left-handed desk): its edges, for the recorder and
// "Click!".
class ButtonObserver {
public:
    virtual ~ButtonObserver() = default;
    virtual void primaryButton(bool pressed) = 0;
};

// Follows the two main buttons of the system mouse whichever window has the
// focus: the primary one's edges go to the observer, and each press or
// release of the secondary one is a stop request.
class MouseWatcher {
public:
    using Opener = std::function<std::unique_ptr<platform::MouseButtonSource>()>;

    MouseWatcher(Opener openMouse, ButtonObserver& observer, StopController& stops);

    // Opens the system mouse and starts delivery; `notification` runs
    // whenever items wait, and should call handleWaitingItems(). Throws when
    // the mouse cannot be had.
    void open(std::function<void()> notification);
    // Handles up to 10 waiting items; the rest come with the next notification.
    void handleWaitingItems();
    // Handles at once every item that came before this call, so that a
    // handler can start from what the buttons did up to now; the secondary
    // button requests a stop there only when `secondaryStops`.
    void catchUp(bool secondaryStops);
    // Shutdown: stop delivery, then let go of the mouse.
    void stopDelivery();
    void release() { mouse_.reset(); }

    static constexpr int kBufferSize = 100;
    static constexpr std::size_t kItemsPerNotification = 10;

private:
    // Reads up to one notification's worth of items and reports them (the
    // secondary button as a stop when `secondaryStops`); returns how many.
    std::size_t handleItems(bool secondaryStops = true);

    Opener openMouse_;
    ButtonObserver& observer_;
    StopController& stops_;
    std::unique_ptr<platform::MouseButtonSource> mouse_;
    bool delivering_ = false;
};

} // namespace clickpath::stopping
