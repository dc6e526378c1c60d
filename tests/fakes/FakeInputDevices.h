#pragma once

#include "platform/ToolError.h"
#include "platform/wayland/InputDevices.h"

#include <map>
#include <set>
#include <utility>

// The system's input devices for the Wayland layer: the test plugs devices
// in and out, and queues the events each one sends.
namespace clickpath::fakes {

struct FakeInputDevices;

struct FakeEventReader final : platform::wayland::EventReader {
    FakeEventReader(FakeInputDevices& devices, std::string node)
        : devices_(devices)
        , node_(std::move(node))
    {
    }
    int descriptor() const override { return -1; }
    std::optional<std::vector<input_event>> readEvents() override;

private:
    FakeInputDevices& devices_;
    std::string node_;
};

struct FakeInputDevices {
    using Info = platform::wayland::InputDeviceInfo;
    // A device of the given kind ("mouse", "touchpad", "stick", "keyboard") at /dev/input/event<number>.
    static Info device(int number, const std::string& kind, const std::string& name = "device");
    void plug(const Info& device);
    void unplug(const std::string& node);
    // Queues a button's edge, followed by the report that ends the frame.
    void send(const std::string& node, int code, int value);

    std::map<std::string, Info> present;
    std::vector<platform::wayland::DeviceChange> changes;
    std::map<std::string, std::vector<input_event>> queued;
    std::set<std::string> unreadable;
};

// The directory over the fake devices; the devices outlive it.
struct FakeDeviceDirectory final : platform::wayland::DeviceDirectory {
    explicit FakeDeviceDirectory(FakeInputDevices& devices)
        : devices_(devices)
    {
    }
    std::vector<platform::wayland::InputDeviceInfo> present() override;
    int changesDescriptor() const override { return -1; }
    std::vector<platform::wayland::DeviceChange> takeChanges() override { return std::exchange(devices_.changes, {}); }
    std::unique_ptr<platform::wayland::EventReader> open(const platform::wayland::InputDeviceInfo& device) override;

private:
    FakeInputDevices& devices_;
};

} // namespace clickpath::fakes
