#include "platform/wayland/InputDevices.h"

namespace clickpath::platform::wayland {

bool isPointingDevice(const InputDeviceInfo& device)
{
    if (device.name == kVirtualPointerName)
        return false;
    return device.mouse || device.touchpad || device.pointingStick;
}

std::optional<ButtonItem> buttonItemOf(const input_event& event)
{
    if (event.type != EV_KEY || (event.value != 0 && event.value != 1))
        return std::nullopt;
    if (event.code != BTN_LEFT && event.code != BTN_RIGHT)
        return std::nullopt;
    return ButtonItem{event.code == BTN_LEFT ? MouseButton::Primary : MouseButton::Secondary, event.value == 1};
}

DeviceAccessError::DeviceAccessError(const InputDeviceInfo& device, const std::string& reason)
    : ToolError("Cannot read the pointing device " + device.node + " (" + device.name + "): " + reason
        + ". On Wayland clickpath watches the mouse buttons on the input devices: install the udev rule "
          "70-clickpath.rules that comes with it (see the README, \"Wayland\", one-time set-up), then log in "
          "again.")
    , reason(reason)
{
}

std::string leftOutMessage(const InputDeviceInfo& device, const std::string& reason)
{
    return "Leaves out the pointing device " + device.node + " (" + device.name + "), which it cannot read (" + reason
        + "): its buttons do not stop clickpath. The other pointing devices are watched.";
}

} // namespace clickpath::platform::wayland
