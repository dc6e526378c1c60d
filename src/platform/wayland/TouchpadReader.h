#pragma once

#include "platform/wayland/InputDevices.h"

namespace clickpath::platform::wayland {

// A touchpad read through libinput, as the compositor reads it, without a
// grab: a click in a clickpad's right-button area or with two fingers, and a
// two-finger tap, come out as the right button, a tap as the left one, as
// the desktop's settings have them (EventReader::apply). Throws a
// DeviceAccessError when it cannot be read.
std::unique_ptr<EventReader> openTouchpad(const InputDeviceInfo& device);

} // namespace clickpath::platform::wayland
