#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace clickpath::platform {

struct ScreenPoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
    bool operator==(const ScreenPoint&) const = default;
};

// The desktop pointer, in the desktop's physical pixels.
class Pointer {
public:
    virtual ~Pointer() = default;
    // Starts telling positions, for a recording: on some desktops the
    // compositor is asked to report them. Throws a ToolError that names the
    // desktop when it will never tell one, so that nothing is recorded.
    virtual void startTracking() {}
    // Where the pointer is now; nothing while it cannot be told (another
    // screen, a first report still to come). Throws a ToolError that says why
    // when no position will come any more (the compositor's report stopped).
    virtual std::optional<ScreenPoint> position() = 0;
    // Ends what startTracking began; never throws.
    virtual void stopTracking() {}
    // Moves the pointer to an absolute position, as real motion would.
    // Throws a ToolError when the display refuses it.
    virtual void moveTo(std::int32_t x, std::int32_t y) = 0;
    // What the desktop has yet to do before moves and clicks reach it, as
    // "sway to take clickpath's virtual pointer"; empty once they do. A
    // device made at start is of no use until the compositor has opened it.
    // Never waits.
    virtual std::string awaitedUptake() { return {}; }
};

} // namespace clickpath::platform
