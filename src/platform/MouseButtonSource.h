#pragma once

#include <cstddef>
#include <functional>
#include <span>

namespace clickpath::platform {

// The desktop's primary button (the left one, or the right one on a
// left-handed desk) and its secondary one: each source maps the physical
// buttons as the desktop does.
enum class MouseButton { Primary, Secondary };

// One buffered press or release of a mouse button.
struct ButtonItem {
    MouseButton button = MouseButton::Primary;
    bool pressed = false;
};

// The buttons of the system mouse, seen in the background whichever window
// has the focus or holds a grab, without taking the mouse from anyone.
class MouseButtonSource {
public:
    virtual ~MouseButtonSource() = default;
    // Starts delivery: keeps up to `capacity` unread items (further ones are
    // lost) and runs `itemsWaiting` on this thread whenever some wait.
    // Throws a ToolError when the buttons cannot be watched.
    virtual void start(int capacity, std::function<void()> itemsWaiting) = 0;
    // Stops delivery; no notification runs after this.
    virtual void stop() = 0;
    // Moves up to out.size() of the oldest unread items into `out`, in order
    // of arrival, and returns how many; the rest stay. Throws on failure.
    virtual std::size_t read(std::span<ButtonItem> out) = 0;
    // Takes the device again after a failed read.
    virtual void resume() = 0;
    // Buffers, without a notification, every item that came before this call.
    virtual void takeWaiting() = 0;
};

} // namespace clickpath::platform
