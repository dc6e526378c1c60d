#pragma once

#include <cstdint>
#include <functional>

namespace clickpath::playback {

// How many passes to play: asked at the end of each pass that ran out.
class PassPolicy {
public:
    static PassPolicy passes(std::int32_t count)
    {
        return PassPolicy([count](std::int32_t played) { return played < count; });
    }
    static PassPolicy untilStopped()
    {
        return PassPolicy([](std::int32_t) { return true; });
    }
    // The window's "LOOP": its state at the end of each pass decides.
    static PassPolicy whileChecked(std::function<bool()> checked)
    {
        return PassPolicy([checked = std::move(checked)](std::int32_t) { return checked(); });
    }

    // `played` counts the passes since start-up or the last stop.
    bool playAnother(std::int32_t played) const { return another_(played); }

private:
    explicit PassPolicy(std::function<bool(std::int32_t)> another)
        : another_(std::move(another))
    {
    }
    std::function<bool(std::int32_t)> another_;
};

} // namespace clickpath::playback
