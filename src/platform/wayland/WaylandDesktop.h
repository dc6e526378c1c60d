#pragma once

#include "platform/Desktop.h"
#include "platform/qt/MonotonicClock.h"
#include "platform/qt/SeededRandom.h"
#include "platform/wayland/DesktopInputSettings.h"
#include "platform/wayland/LogindSession.h"
#include "platform/wayland/OutputLayout.h"
#include "platform/wayland/VirtualPointer.h"

namespace clickpath::platform::wayland {

// Connects to the session's Wayland display and lets go again, before Qt's
// Wayland plugin would end the program on a display it cannot reach. Throws a
// ToolError that names the display and the reason.
void checkWaylandDisplay();

// A Wayland session: a virtual uinput pointer moves and clicks, the evdev
// nodes of the pointing devices (touchpads through libinput) give the
// buttons, the compositor the position where it tells it (KWin's script,
// GNOME's extension, Hyprland's socket), logind whether the session is in
// front. No program may take a key: the stop key is the desktop's own
// shortcut for `clickpath-cli stop`.
class WaylandDesktop final : public Desktop {
public:
    // Throws a ToolError when this session is not the active one, no
    // pointing device can be read, /dev/uinput cannot be written or the
    // compositor's outputs cannot be read.
    WaylandDesktop(const QString& compositor, MessageSink& messages);
    ~WaylandDesktop() override;

    Services services() override;
    std::unique_ptr<Hold> grabStopKey(const QString&, std::function<void()>) override { return nullptr; }
    std::unique_ptr<Hold> watchWindowLoss(unsigned long, std::function<void()>) override { return nullptr; }

private:
    WaylandDesktop(const QString& compositor, MessageSink& messages, const QProcessEnvironment& environment);
    std::unique_ptr<MouseButtonSource> openPointingDevices(bool sayLeftOut);

    MessageSink& messages_;
    qt::MonotonicClock clock_;
    qt::SeededRandom random_;
    LogindSession session_;
    std::unique_ptr<DesktopInputSettings> inputSettings_;
    OutputLayout outputs_;
    std::unique_ptr<VirtualPointer> pointer_;
};

} // namespace clickpath::platform::wayland
