#pragma once

#include "platform/ButtonInjector.h"
#include "platform/Pointer.h"
#include "platform/x11/X11Display.h"

namespace clickpath::platform::x11 {

// Pointer query and moves on the X server, in the root window's physical
// pixels. Moves go through XTEST rather than XWarpPointer: a warp makes no raw
// motion, so other clients (and a recorder watching raw input) never see it,
// and it is refused under XWayland.
class X11Pointer final : public Pointer, public ButtonInjector {
public:
    // Throws when the display or its XTEST extension cannot be had.
    X11Pointer();

    std::optional<ScreenPoint> position() override;
    void requirePosition() override {} // the server always tells it
    void moveTo(std::int32_t x, std::int32_t y) override;
    void pressLeft() override { sendLeft(true); }
    void releaseLeft() override { sendLeft(false); }

private:
    void sendLeft(bool down);

    DisplayPtr display_;
};

} // namespace clickpath::platform::x11
