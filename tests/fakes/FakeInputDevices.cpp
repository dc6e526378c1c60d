#include "fakes/FakeInputDevices.h"

#include <ranges>

namespace clickpath::fakes {

using namespace platform::wayland;

namespace {

// Reads what was queued for its node; nothing once the node has gone.
struct FakeReader final : EventReader {
    FakeReader(FakeInputDevices& devices, std::string node)
        : devices(devices)
        , node(std::move(node))
    {
    }
    int descriptor() const override { return -1; }
    std::optional<std::vector<input_event>> readEvents() override
    {
        return devices.plugged.contains(node) ? std::optional(std::exchange(devices.queued[node], {})) : std::nullopt;
    }
    FakeInputDevices& devices;
    std::string node;
};

} // namespace

void FakeInputDevices::plug(int number, const std::string& kind, const std::string& name)
{
    const Info device{node(number), name, kind == "mouse", kind == "touchpad", kind == "stick", kind == "keyboard"};
    changes.push_back({true, plugged[device.node] = device});
}

void FakeInputDevices::send(int number, int code, int value)
{
    queued[node(number)].insert(queued[node(number)].end(),
        {{{}, EV_KEY, static_cast<std::uint16_t>(code), value}, {{}, EV_SYN, SYN_REPORT, 0}});
}

std::vector<InputDeviceInfo> FakeInputDevices::present()
{
    const auto all = std::views::values(plugged);
    return {all.begin(), all.end()};
}

std::unique_ptr<EventReader> FakeInputDevices::open(const InputDeviceInfo& device)
{
    if (unreadable.contains(device.node))
        throw ToolError(noReadAccessMessage(device, "Permission denied"));
    return std::make_unique<FakeReader>(*this, device.node);
}

} // namespace clickpath::fakes
