#pragma once

#include "platform/wayland/VirtualPointer.h"

namespace clickpath::platform::qt {

// The rectangle that holds every screen, in the desktop's logical pixels, as
// Qt's platform plugin learnt it from the compositor's outputs. Throws a
// ToolError when Qt knows no screen.
wayland::LayoutRect screenLayout();

} // namespace clickpath::platform::qt
