#pragma once

#include "core/ToolError.h"
#include "platform/MouseButtonSource.h"

#include <linux/input.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace clickpath::platform::wayland {

// The name of the tool's own virtual pointer, which the button watch ignores.
inline constexpr const char* kVirtualPointerName = "clickpath virtual pointer";

// One evdev node as udev classifies it (the ID_INPUT_* properties).
struct InputDeviceInfo {
    std::string node; // /dev/input/eventN
    std::string name; // the kernel's device name
    unsigned vendor = 0;
    unsigned product = 0;
    bool mouse = false;
    bool touchpad = false;
    bool pointingStick = false;
    bool keyboard = false;
};

// How a touchpad turns a physical click into a button.
enum class ClickMethod { ButtonAreas, Clickfinger, None };

// What the desktop set for one pointing device that the tool must follow.
// A setting the desktop does not tell is nothing: libinput's default holds.
struct DeviceSettings {
    bool leftHanded = false;                // its primary button is the right one
    std::optional<bool> tapping;            // touchpads: a tap is a click
    std::optional<ClickMethod> clickMethod; // touchpads
    bool operator==(const DeviceSettings&) const = default;
};

// A pointing device whose buttons stop recording and playback: a mouse,
// touchpad or trackpoint, not a keyboard alone, not the tool's own pointer.
bool isPointingDevice(const InputDeviceInfo& device);

// The left or right button's edge that an event reports; nothing for any
// other event, and for key repeats, which a mouse button never sends.
std::optional<ButtonItem> buttonItemOf(const input_event& event);

// An evdev node opened for reading, without a grab.
class EventReader {
public:
    virtual ~EventReader() = default;
    // The descriptor to watch for input; -1 when there is none to watch.
    virtual int descriptor() const = 0;
    // The events read in so far, in order, the state after a lost stretch
    // included; nothing when the device has gone.
    virtual std::optional<std::vector<input_event>> readEvents() = 0;
    // Follows the desktop's settings for the device from now on: a
    // left-handed one reports its physical right button as the left.
    virtual void apply(const DeviceSettings& settings) = 0;
};

struct DeviceChange {
    bool added = false; // or removed
    InputDeviceInfo device;
};

// The system's input devices: those present, those that come and go, and
// access to their events.
class DeviceDirectory {
public:
    virtual ~DeviceDirectory() = default;
    // The evdev nodes present now. Throws a ToolError when they cannot be listed.
    virtual std::vector<InputDeviceInfo> present() = 0;
    // The descriptor that becomes readable with changes; -1 when none.
    virtual int changesDescriptor() const = 0;
    // The changes since the last call, in order.
    virtual std::vector<DeviceChange> takeChanges() = 0;
    // Opens a node for reading. Throws a DeviceAccessError when it cannot
    // be read.
    virtual std::unique_ptr<EventReader> open(const InputDeviceInfo& device) = 0;
};

// A pointing device that cannot be read, with the system's reason; its
// message says how to get access.
class DeviceAccessError : public ToolError {
public:
    DeviceAccessError(const InputDeviceInfo& device, const std::string& reason);
    std::string reason;
};

// The warning for a device left out while others are watched.
std::string leftOutMessage(const InputDeviceInfo& device, const std::string& reason);

} // namespace clickpath::platform::wayland
