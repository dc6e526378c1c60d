#pragma once

#include <cstdint>
#include <functional>

namespace clickpath::platform {

// One buffered button event of the system mouse.
struct ButtonItem {
    std::int32_t offsetCode = 0; // which button, see below
    std::int32_t data = 0;       // kItemPressed or kItemReleased
};

constexpr std::int32_t kLeftButtonOffset = 12;
constexpr std::int32_t kRightButtonOffset = 13;
constexpr std::int32_t kItemPressed = 128;
constexpr std::int32_t kItemReleased = 0;

// The buttons of the system mouse, seen in the background whichever window has
// the focus or holds a grab, without taking the mouse from anyone. Items are
// buffered; a notification tells the window thread that some are waiting.
class MouseButtonSource {
public:
    virtual ~MouseButtonSource() = default;
    // Keeps up to `items` unread items; further ones are dropped.
    virtual void setBufferSize(int items) = 0;
    // Registers the callback that runs on the window thread, with the returned
    // nonzero id, whenever unread items wait.
    virtual std::int32_t createEvent(std::function<void(std::int32_t)> callback) = 0;
    // No callback carries this id any more.
    virtual void destroyEvent(std::int32_t eventId) = 0;
    // Starts or stops the delivery of items.
    virtual void acquire() = 0;
    virtual void unacquire() = 0;
    // Moves up to `capacity` of the oldest unread items into `out`, in order of
    // arrival, and returns how many; the rest stay buffered. Throws on failure.
    virtual int readItems(ButtonItem* out, int capacity) = 0;
    // Buffers, without a notification, every item that came before this call.
    virtual void takeWaiting() = 0;
};

} // namespace clickpath::platform
