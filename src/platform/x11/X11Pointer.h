#pragma once

#include "platform/ButtonInjector.h"
#include "platform/Pointer.h"
#include "platform/x11/X11Display.h"

namespace clickpath::platform::x11 {

// Pointer query and moves on the X server, in the root window's physical
// pixels. Moves go through XTEST rather than XWarpPointer: a warp makes no raw
// motion, so other clients (and a recorder watching raw input) never see it,
// and it is refused under XWayland.
//
// A left press it sent and has not released yet is released when the pointer
// goes, and also when the process exits without unwinding (Qt ends it with
// exit() when its own connection to the display breaks): every later click
// of the user would otherwise be a drag.
class X11Pointer final : public Pointer, public ButtonInjector {
public:
    // Throws when the display or its XTEST extension cannot be had.
    X11Pointer();
    ~X11Pointer() override;
    X11Pointer(const X11Pointer&) = delete;
    X11Pointer& operator=(const X11Pointer&) = delete;

    std::optional<ScreenPoint> position() override;
    void moveTo(std::int32_t x, std::int32_t y) override;
    void pressLeft() override { sendLeft(true); }
    void releaseLeft() override { sendLeft(false); }

private:
    void sendLeft(bool down);
    static void releaseAtExit();

    DisplayPtr display_;
    unsigned int heldButton_ = 0; // the physical button of a press held, if one is
};

} // namespace clickpath::platform::x11
