#include "platform/x11/X11Pointer.h"

#include "core/ToolError.h"

#include <algorithm>
#include <cstdlib>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

namespace clickpath::platform::x11 {

namespace {

X11Pointer* livePointer = nullptr; // the one whose press an exit must release

} // namespace

X11Pointer::X11Pointer()
    : display_(openDisplay())
{
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(display_.get(), &eventBase, &errorBase, &major, &minor))
        throw ToolError("The X server has no XTEST extension, so the pointer cannot be moved or clicked.");
    static const bool registered = std::atexit(releaseAtExit) == 0;
    (void)registered;
    livePointer = this;
}

X11Pointer::~X11Pointer()
{
    releaseAtExit();
    livePointer = nullptr;
}

void X11Pointer::releaseAtExit()
{
    if (!livePointer || !livePointer->heldButton_)
        return;
    try {
        livePointer->releaseLeft();
    } catch (const ToolError&) {
        // The display is gone: it holds no button any more either.
    }
}

std::optional<ScreenPoint> X11Pointer::position()
{
    Window root = 0, child = 0;
    int rootX = 0, rootY = 0, winX = 0, winY = 0;
    unsigned int mask = 0;
    // False when the pointer is on another screen of the display.
    if (!XQueryPointer(
            display_.get(), DefaultRootWindow(display_.get()), &root, &child, &rootX, &rootY, &winX, &winY, &mask))
        return std::nullopt;
    return ScreenPoint{rootX, rootY};
}

void X11Pointer::moveTo(std::int32_t x, std::int32_t y)
{
    // The request carries 16-bit coordinates: clamp rather than let a far
    // position wrap around. Screen -1 is the screen the pointer is on; the
    // server clamps to its edges.
    const auto clamp16 = [](std::int32_t v) { return static_cast<int>(std::clamp(v, -32768, 32767)); };
    XTestFakeMotionEvent(display_.get(), -1, clamp16(x), clamp16(y), CurrentTime);
    syncAndCheck(display_.get(), "Pointer move");
}

void X11Pointer::sendLeft(bool down)
{
    // XTEST presses a physical button, which the server maps: on a
    // left-handed desk the primary click is the physical right button. A
    // release lets go of the button that was pressed, whatever the map says now.
    const unsigned int button = down || !heldButton_ ? physicalButton(pointerMapping(display_.get()), 1) : heldButton_;
    XTestFakeButtonEvent(display_.get(), button, down ? True : False, CurrentTime);
    heldButton_ = down ? button : 0;
    syncAndCheck(display_.get(), down ? "Left press" : "Left release");
}

} // namespace clickpath::platform::x11
