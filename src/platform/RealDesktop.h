#pragma once

#include "platform/Services.h"
#include "platform/qt/MonotonicClock.h"
#include "platform/qt/SeededRandom.h"

namespace clickpath::platform {

namespace x11 {
class X11Pointer;
}
namespace wayland {
class DesktopInputSettings;
class OutputLayout;
class VirtualPointer;
} // namespace wayland

// The session's desktop, built in one place for both programs, with Qt's
// clock and timers. On X11 the pointer and the buttons go through XTEST and
// XInput2; on Wayland through a virtual uinput pointer and the evdev nodes of
// the pointing devices, with the position from the compositor where it tells it.
class RealDesktop {
public:
    // Throws a ToolError when there is no display, it lacks XTEST, or on
    // Wayland the input devices cannot be read or /dev/uinput written.
    RealDesktop(MessageSink& messages, bool wayland);
    ~RealDesktop();

    Services services();

private:
    MessageSink& messages_;
    std::unique_ptr<x11::X11Pointer> x11Pointer_;
    std::unique_ptr<wayland::DesktopInputSettings> inputSettings_;
    std::unique_ptr<wayland::OutputLayout> outputs_;
    std::unique_ptr<wayland::VirtualPointer> virtualPointer_;
    std::unique_ptr<SessionWatch> session_ = std::make_unique<SessionWatch>();
    qt::MonotonicClock clock_;
    SeededRandom random_;
};

} // namespace clickpath::platform
