#include "fakes/FakeInputDevices.h"

namespace clickpath::fakes {

using namespace platform::wayland;

namespace {

struct FakeReader final : EventReader {
    FakeReader(FakeInputDevices& devices, std::string node)
        : devices(devices)
        , node(std::move(node))
    {
    }
    int descriptor() const override { return -1; }
    std::optional<std::vector<input_event>> readEvents() override
    {
        return devices.present.contains(node) ? std::optional(std::exchange(devices.queued[node], {})) : std::nullopt;
    }
    FakeInputDevices& devices;
    std::string node;
};

struct FakeDirectory final : DeviceDirectory {
    explicit FakeDirectory(FakeInputDevices& devices)
        : devices(devices)
    {
    }
    std::vector<InputDeviceInfo> present() override
    {
        std::vector<InputDeviceInfo> all;
        for (const auto& [node, info] : devices.present)
            all.push_back(info);
        return all;
    }
    int changesDescriptor() const override { return -1; }
    std::vector<DeviceChange> takeChanges() override { return std::exchange(devices.changes, {}); }
    std::unique_ptr<EventReader> open(const InputDeviceInfo& device) override
    {
        if (devices.unreadable.contains(device.node))
            throw ToolError(noReadAccessMessage(device, "Permission denied"));
        return std::make_unique<FakeReader>(devices, device.node);
    }
    FakeInputDevices& devices;
};

} // namespace

InputDeviceInfo FakeInputDevices::device(int number, const std::string& kind, const std::string& name)
{
    return {"/dev/input/event" + std::to_string(number), name, kind == "mouse", kind == "touchpad", kind == "stick",
        kind == "keyboard"};
}

void FakeInputDevices::plug(const Info& device)
{
    present[device.node] = device;
    changes.push_back({true, device});
}

void FakeInputDevices::unplug(const std::string& node)
{
    changes.push_back({false, present.at(node)});
    present.erase(node);
}

void FakeInputDevices::send(const std::string& node, int code, int value)
{
    queued[node].push_back({{}, EV_KEY, static_cast<std::uint16_t>(code), value});
    queued[node].push_back({{}, EV_SYN, SYN_REPORT, 0});
}

std::unique_ptr<DeviceDirectory> FakeInputDevices::directory()
{
    return std::make_unique<FakeDirectory>(*this);
}

} // namespace clickpath::fakes
