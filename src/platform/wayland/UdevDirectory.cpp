#include "platform/wayland/UdevDirectory.h"

#include "platform/ToolError.h"
#include "platform/wayland/TouchpadReader.h"

#include <libevdev/libevdev.h>
#include <libudev.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

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
    info.mouse = hasProperty(device, "ID_INPUT_MOUSE");
    info.touchpad = hasProperty(device, "ID_INPUT_TOUCHPAD");
    info.pointingStick = hasProperty(device, "ID_INPUT_POINTINGSTICK");
    info.keyboard = hasProperty(device, "ID_INPUT_KEYBOARD");
    return info;
}

class LibevdevReader final : public EventReader {
public:
    LibevdevReader(int fd, libevdev* device)
        : fd_(fd)
        , device_(device)
    {
    }
    ~LibevdevReader() override
    {
        libevdev_free(device_);
        ::close(fd_);
    }
    LibevdevReader(const LibevdevReader&) = delete;
    LibevdevReader& operator=(const LibevdevReader&) = delete;

    int descriptor() const override { return fd_; }

    std::optional<std::vector<input_event>> readEvents() override
    {
        std::vector<input_event> events;
        unsigned int flags = LIBEVDEV_READ_FLAG_NORMAL;
        for (;;) {
            input_event event{};
            const int status = libevdev_next_event(device_, flags, &event);
            if (status == LIBEVDEV_READ_STATUS_SYNC) {
                // The kernel's buffer overflowed: libevdev hands out the
                // changes of state that the lost events made, then goes on.
                flags = LIBEVDEV_READ_FLAG_SYNC;
                events.push_back(event);
            } else if (status == LIBEVDEV_READ_STATUS_SUCCESS) {
                events.push_back(event);
            } else if (status == -EAGAIN && flags == LIBEVDEV_READ_FLAG_SYNC) {
                flags = LIBEVDEV_READ_FLAG_NORMAL;
            } else if (status == -EAGAIN) {
                return events;
            } else {
                return std::nullopt; // ENODEV: unplugged
            }
        }
    }

private:
    int fd_;
    libevdev* device_;
};

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
    const int fd = ::open(device.node.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        throw ToolError(noReadAccessMessage(device, std::strerror(errno)));
    libevdev* evdev = nullptr;
    if (const int status = libevdev_new_from_fd(fd, &evdev); status < 0) {
        ::close(fd);
        throw ToolError(noReadAccessMessage(device, std::strerror(-status)));
    }
    return std::make_unique<LibevdevReader>(fd, evdev);
}

} // namespace clickpath::platform::wayland
