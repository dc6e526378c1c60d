#pragma once

#include "platform/wayland/InputDevices.h"

struct udev;
struct udev_monitor;

namespace clickpath::platform::wayland {

// The input devices as udev knows them, the same list and classification
// that libinput in the compositor uses; their buttons' edges from their evdev
// nodes (ButtonEdges), a touchpad's through libinput (TouchpadReader).
class UdevDirectory final : public DeviceDirectory {
public:
    // Throws a ToolError when udev cannot be reached.
    UdevDirectory();
    ~UdevDirectory() override;
    UdevDirectory(const UdevDirectory&) = delete;
    UdevDirectory& operator=(const UdevDirectory&) = delete;

    std::vector<InputDeviceInfo> present() override;
    int changesDescriptor() const override;
    std::vector<DeviceChange> takeChanges() override;
    std::unique_ptr<EventReader> open(const InputDeviceInfo& device) override;

private:
    struct udev* udev_ = nullptr;
    struct udev_monitor* monitor_ = nullptr;
};

} // namespace clickpath::platform::wayland
