#pragma once

namespace clickpath::platform {

// Runs the pending events of the program, for the waits that keep it
// responsive while a playback step holds the thread.
class EventPump {
public:
    virtual ~EventPump() = default;
    // Handles what is pending; when nothing is, blocks until an event arrives
    // or `seconds` have passed, so that a wait neither spins nor wakes for
    // nothing, and still sees a stop, an edit or a close at once.
    virtual void pumpOnce(double seconds) = 0;
};

} // namespace clickpath::platform
