#pragma once

namespace clickpath::platform {

// Seconds since an arbitrary start, never going back and never wrapping.
class Clock {
public:
    virtual ~Clock() = default;
    virtual double seconds() = 0;
};

// Uniform values in [0, 1); every draw is a fresh value.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    virtual double next() = 0;
};

// Runs the window's pending events once, for the waits that keep the window
// alive while a playback step holds the thread.
class EventPump {
public:
    virtual ~EventPump() = default;
    // Handles what is pending; when nothing is, blocks until an event arrives
    // or for at most 10 ms, so that a wait neither spins nor lags.
    virtual void pumpOnce() = 0;
};

} // namespace clickpath::platform
