#pragma once

namespace clickpath::platform {

// Seconds since an arbitrary start, never going back and never wrapping.
class Clock {
public:
    virtual ~Clock() = default;
    virtual double seconds() = 0;
};

} // namespace clickpath::platform
