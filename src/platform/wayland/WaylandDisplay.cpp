#include "platform/wayland/WaylandDisplay.h"

#include "core/ToolError.h"

#include <wayland-client-core.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

namespace clickpath::platform::wayland {

void checkWaylandDisplay()
{
    wl_display* display = wl_display_connect(nullptr);
    if (display) {
        wl_display_disconnect(display);
        return;
    }
    const char* name = std::getenv("WAYLAND_DISPLAY");
    throw ToolError(std::string("Cannot reach the Wayland display ") + (name && *name ? name : "wayland-0") + ": "
        + std::strerror(errno));
}

} // namespace clickpath::platform::wayland
