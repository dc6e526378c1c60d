#pragma once

#include "platform/wayland/VirtualPointer.h"

#include <QProcessEnvironment>

#include <chrono>
#include <memory>
#include <string>

namespace clickpath::platform::wayland {

// The pointer's position from Hyprland: each call asks its request socket for
// `cursorpos`, the cursor in layout coordinates, on a connection of its own,
// as Hyprland answers one request per connection and then closes it.
class HyprlandCursor final : public CursorSource {
public:
    // The position source when the session is Hyprland's; null on other
    // compositors. Throws a ToolError that names the socket when Hyprland does
    // not answer there with a position. A call of position() waits at most
    // `answerLimit` for the answer, so that a busy compositor cannot hold up
    // the recording's tick for long.
    static std::unique_ptr<CursorSource> connect(
        const QProcessEnvironment& environment, std::chrono::milliseconds answerLimit = std::chrono::milliseconds(50));

    // Nothing when Hyprland does not answer in time or with two integers.
    std::optional<ScreenPoint> position() override;

private:
    HyprlandCursor(std::string socketPath, std::chrono::milliseconds answerLimit);

    std::string socketPath_;
    std::chrono::milliseconds answerLimit_;
};

} // namespace clickpath::platform::wayland
