#pragma once

#include "platform/wayland/InputDevices.h"

namespace clickpath::platform::wayland {

// A touchpad read through libinput, as the compositor reads it, without a
// grab: a click in a clickpad's right-button area or with two fingers, and a
// two-finger tap, come out as the right button, a tap as the left one. The
// reader's own libinput follows libinput's defaults, with taps on as
// desktops set them. Throws a ToolError that names the device and says how
// to get access when it cannot be read.
std::unique_ptr<EventReader> openTouchpad(const InputDeviceInfo& device);

} // namespace clickpath::platform::wayland
