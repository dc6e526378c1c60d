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
    // Where the pointer is now; nothing when it cannot be told (another screen).
    virtual std::optional<ScreenPoint> position() = 0;
    // Throws a ToolError, naming the desktop, when position() can never tell
    // where the pointer is there, so that nothing is recorded.
    virtual void requirePosition() = 0;
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
