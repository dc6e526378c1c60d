#include "platform/wayland/UdevDirectory.h"

#include "core/ToolError.h"
#include "platform/wayland/ButtonEdges.h"
#include "platform/wayland/TouchpadReader.h"

#include <libudev.h>

#include <cstdlib>
#include <cstring>

namespace clickpath::platform::wayland {

namespace {

bool hasProperty(udev_device* device, const char* name)
{
    const char* value = udev_device_get_property_value(device, name);
    return value && std::strcmp(value, "1") == 0;
}

// Only evdev nodes (eventN) carry events; the input device above them
// carries the kernel's name.
std::optional<InputDeviceInfo> infoOf(udev_device* device)
{
    const char* node = udev_device_get_devnode(device);
    const char* sysname = udev_device_get_sysname(device);
    if (!node || !sysname || std::strncmp(sysname, "event", 5) != 0)
        return std::nullopt;
    InputDeviceInfo info;
    info.node = node;
    udev_device* parent = udev_device_get_parent(device);
    if (const char* name = parent ? udev_device_get_sysattr_value(parent, "name") : nullptr)
        info.name = name;
    // The ids in hexadecimal, as the kernel shows them; desktops name devices by them.
    const auto id = [parent](const char* which) {
        const char* text = parent ? udev_device_get_sysattr_value(parent, which) : nullptr;
        return text ? static_cast<unsigned>(std::strtoul(text, nullptr, 16)) : 0U;
    };
    info.vendor = id("id/vendor");
    info.product = id("id/product");
    info.mouse = hasProperty(device, "ID_INPUT_MOUSE");
    info.touchpad = hasProperty(device, "ID_INPUT_TOUCHPAD");
    info.pointingStick = hasProperty(device, "ID_INPUT_POINTINGSTICK");
    info.keyboard = hasProperty(device, "ID_INPUT_KEYBOARD");
    return info;
}

} // namespace

UdevDirectory::UdevDirectory()
    : udev_(udev_new())
{
    if (!udev_)
        throw ToolError("Cannot reach udev to list the input devices");
    monitor_ = udev_monitor_new_from_netlink(udev_, "udev");
    if (monitor_) {
        udev_monitor_filter_add_match_subsystem_devtype(monitor_, "input", nullptr);
        udev_monitor_enable_receiving(monitor_);
    }
}

UdevDirectory::~UdevDirectory()
{
    if (monitor_)
        udev_monitor_unref(monitor_);
    udev_unref(udev_);
}

std::vector<InputDeviceInfo> UdevDirectory::present()
{
    udev_enumerate* enumerate = udev_enumerate_new(udev_);
    udev_enumerate_add_match_subsystem(enumerate, "input");
    if (udev_enumerate_scan_devices(enumerate) < 0) {
        udev_enumerate_unref(enumerate);
        throw ToolError("Cannot list the input devices through udev");
    }
    std::vector<InputDeviceInfo> devices;
    udev_list_entry* entry = nullptr;
    udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumerate))
    {
        udev_device* device = udev_device_new_from_syspath(udev_, udev_list_entry_get_name(entry));
        if (!device)
            continue;
        if (auto info = infoOf(device))
            devices.push_back(std::move(*info));
        udev_device_unref(device);
    }
    udev_enumerate_unref(enumerate);
    return devices;
}

int UdevDirectory::changesDescriptor() const
{
    return monitor_ ? udev_monitor_get_fd(monitor_) : -1;
}

std::vector<DeviceChange> UdevDirectory::takeChanges()
{
    std::vector<DeviceChange> changes;
    while (udev_device* device = monitor_ ? udev_monitor_receive_device(monitor_) : nullptr) {
        const char* action = udev_device_get_action(device);
        const bool added = action && std::strcmp(action, "add") == 0;
        const bool removed = action && std::strcmp(action, "remove") == 0;
        if (auto info = infoOf(device); info && (added || removed))
            changes.push_back({added, std::move(*info)});
        udev_device_unref(device);
    }
    return changes;
}

std::unique_ptr<EventReader> UdevDirectory::open(const InputDeviceInfo& device)
{
    // The kernel reports a clickpad's every click as the left button, and
    // taps not at all: only libinput tells those apart.
    if (device.touchpad)
        return openTouchpad(device);
    return std::make_unique<ButtonEdges>(openEvdevNode(device));
}

} // namespace clickpath::platform::wayland
