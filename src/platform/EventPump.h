#pragma once

namespace clickpath::platform {

// Runs the pending events of the program, for the waits that keep it
// responsive while a playback step holds the thread.
class EventPump {
public:
    virtual ~EventPump() = default;
    // Handles what is pending; when nothing is, blocks until an event arrives
    // or for at most 10 ms, so that a wait neither spins nor lags.
    virtual void pumpOnce() = 0;
};

} // namespace clickpath::platform
