#include "fakes/FakeInputDevices.h"

#include <functional>
#include <ranges>

namespace clickpath::fakes {

using namespace platform::wayland;

namespace {

struct FakeReader final : EventReader {
    int descriptor() const override { return -1; }
    std::optional<std::vector<input_event>> readEvents() override { return read(); }
    void apply(const DeviceSettings& settings) override { applied(settings); }
    std::function<std::optional<std::vector<input_event>>()> read;
    std::function<void(const DeviceSettings&)> applied;
};

} // namespace

void FakeInputDevices::plug(int number, const std::string& kind, const std::string& name)
{
    const Info device{.node = node(number),
        .name = name,
        .mouse = kind == "mouse",
        .touchpad = kind == "touchpad",
        .pointingStick = kind == "stick",
        .keyboard = kind == "keyboard"};
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
        throw platform::wayland::DeviceAccessError(device, "Permission denied");
    // What was queued for the node; nothing once the node has gone.
    auto reader = std::make_unique<FakeReader>();
    reader->read = [this, node = device.node]() -> std::optional<std::vector<input_event>> {
        return plugged.contains(node) ? std::optional(std::exchange(queued[node], {})) : std::nullopt;
    };
    reader->applied = [this, node = device.node](const DeviceSettings& settings) { applied[node] = settings; };
    return reader;
}

} // namespace clickpath::fakes
