#include "fakes/FakeInputDevices.h"

namespace clickpath::fakes {

using platform::wayland::InputDeviceInfo;

std::optional<std::vector<input_event>> FakeEventReader::readEvents()
{
    if (!devices_.present.contains(node_))
        return std::nullopt;
    return std::exchange(devices_.queued[node_], {});
}

InputDeviceInfo FakeInputDevices::device(int number, const std::string& kind, const std::string& name)
{
    InputDeviceInfo info{"/dev/input/event" + std::to_string(number), name};
    info.mouse = kind == "mouse";
    info.touchpad = kind == "touchpad";
    info.pointingStick = kind == "stick";
    info.keyboard = kind == "keyboard";
    return info;
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
    const auto event = [](int type, int code, int value) {
        input_event e{};
        e.type = static_cast<std::uint16_t>(type);
        e.code = static_cast<std::uint16_t>(code);
        e.value = value;
        return e;
    };
    queued[node].push_back(event(EV_KEY, code, value));
    queued[node].push_back(event(EV_SYN, SYN_REPORT, 0));
}

std::vector<InputDeviceInfo> FakeDeviceDirectory::present()
{
    std::vector<InputDeviceInfo> devices;
    for (const auto& [node, info] : devices_.present)
        devices.push_back(info);
    return devices;
}

std::unique_ptr<platform::wayland::EventReader> FakeDeviceDirectory::open(const InputDeviceInfo& device)
{
    if (devices_.unreadable.contains(device.node))
        throw ToolError(platform::wayland::noReadAccessMessage(device, "Permission denied"));
    return std::make_unique<FakeEventReader>(devices_, device.node);
}

} // namespace clickpath::fakes
