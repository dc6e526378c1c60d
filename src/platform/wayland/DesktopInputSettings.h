#pragma once

#include "platform/wayland/InputDevices.h"

#include <QProcessEnvironment>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace clickpath::platform::wayland {

// The desktop's input settings, read in this one place: for the reading of
// the pointing devices (a left-handed user's primary button is the physical
// right one, which must be recorded as the left and must not stop) and for
// the virtual pointer, which the desktop may have made left-handed too.
class DesktopInputSettings {
public:
    // A listener's hold: it is told until this goes.
    using Subscription = std::shared_ptr<const std::function<void()>>;

    virtual ~DesktopInputSettings() = default;
    // The settings of a device. Some desktops are asked over D-Bus: not a
    // call for the 10 ms tick.
    virtual DeviceSettings of(const InputDeviceInfo& device) = 0;
    // Whether the desktop has told how it set `device` up: one just plugged
    // may not be in its word yet. Always, where it tells nothing per device.
    virtual bool knows(const InputDeviceInfo& device)
    {
        (void)device;
        return true;
    }
    // `changed` runs on this thread whenever the settings may have changed.
    [[nodiscard]] Subscription onChanged(std::function<void()> changed);

protected:
    void tellChanged();

private:
    std::vector<std::weak_ptr<const std::function<void()>>> listeners_;
};

// The settings of the session's desktop: sway's inputs (its IPC), GNOME's
// peripherals keys (GSettings) or KWin's input devices (D-Bus); libinput's
// defaults elsewhere, where nothing is read.
std::unique_ptr<DesktopInputSettings> desktopInputSettings(const QProcessEnvironment& environment);

} // namespace clickpath::platform::wayland
