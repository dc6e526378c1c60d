#pragma once

namespace clickpath::platform::wayland {

// Connects to the session's Wayland display and lets go again, before Qt's
// Wayland plugin would end the program on a display it cannot reach. Throws a
// ToolError that names the display and the reason.
void checkWaylandDisplay();

} // namespace clickpath::platform::wayland
