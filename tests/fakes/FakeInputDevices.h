#pragma once

#include "platform/ToolError.h"
#include "platform/wayland/InputDevices.h"

#include <map>
#include <set>
#include <utility>

// The system's input devices for the Wayland layer: the test plugs devices
// in and out and queues their events; the directory the layer owns reads them.
namespace clickpath::fakes {

struct FakeInputDevices {
    using Info = platform::wayland::InputDeviceInfo;
    // A device of a kind ("mouse", "touchpad", "stick", "keyboard") at /dev/input/event<number>.
    static Info device(int number, const std::string& kind, const std::string& name = "device");
    void plug(const Info& device);
    void unplug(const std::string& node);
    void send(const std::string& node, int code, int value); // a key's edge and the report that ends its frame
    std::unique_ptr<platform::wayland::DeviceDirectory> directory();

    std::map<std::string, Info> present;
    std::vector<platform::wayland::DeviceChange> changes;
    std::map<std::string, std::vector<input_event>> queued;
    std::set<std::string> unreadable;
};

} // namespace clickpath::fakes
