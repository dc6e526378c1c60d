#pragma once

#include "core/ToolError.h"
#include "platform/wayland/InputDevices.h"

#include <map>
#include <set>
#include <utility>

// The input devices, for the Wayland layer that owns this directory; the test plugs them and queues events.
namespace clickpath::fakes {

struct FakeInputDevices final : platform::wayland::DeviceDirectory {
    using Info = platform::wayland::InputDeviceInfo;
    static std::string node(int number) { return "/dev/input/event" + std::to_string(number); }
    // A device of a kind ("mouse", "touchpad", "stick", "keyboard") at node(number).
    void plug(int number, const std::string& kind, const std::string& name = "device");
    void unplug(int number) { changes.push_back({false, plugged.at(node(number))}), plugged.erase(node(number)); }
    void send(int number, int code, int value); // a button's edge and the report that ends its frame

    std::vector<Info> present() override;
    int changesDescriptor() const override { return -1; }
    std::vector<platform::wayland::DeviceChange> takeChanges() override { return std::exchange(changes, {}); }
    std::unique_ptr<platform::wayland::EventReader> open(const Info& device) override;

    std::map<std::string, Info> plugged;
    std::vector<platform::wayland::DeviceChange> changes;
    std::map<std::string, std::vector<input_event>> queued;
    std::set<std::string> unreadable;
    std::map<std::string, platform::wayland::DeviceSettings> applied; // to each node's reader, last
};

} // namespace clickpath::fakes
