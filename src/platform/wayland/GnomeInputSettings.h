#pragma once

#include "platform/wayland/DesktopInputSettings.h"

namespace clickpath::platform::wayland {

// GNOME's settings of its pointing devices, the keys of
// org.gnome.desktop.peripherals.mouse and .touchpad, as mutter applies them:
// the mouse's to every pointing device but touchpads. Null where the schemas
// are not installed. Changes arrive through GLib's main loop, which Qt's
// event loop runs.
std::unique_ptr<DesktopInputSettings> gnomeInputSettings();

} // namespace clickpath::platform::wayland
