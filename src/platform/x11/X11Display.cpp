#include "platform/x11/X11Display.h"

#include "core/ToolError.h"

#include <X11/Xlib.h>

#include <algorithm>
#include <cstdlib>
#include <mutex>

namespace clickpath::platform::x11 {

namespace {

// The last error seen; Xlib calls the handler on the thread that talks to the
// display, which is the window's thread for every connection of the tool.
XErrorEvent lastError{};
bool errorSeen = false;

int recordError(Display*, XErrorEvent* event)
{
    lastError = *event;
    errorSeen = true;
    return 0;
}

} // namespace

void DisplayCloser::operator()(_XDisplay* display) const
{
    if (display)
        XCloseDisplay(display);
}

void installErrorTrap()
{
    static std::once_flag once;
    std::call_once(once, [] { XSetErrorHandler(recordError); });
}

DisplayPtr openDisplay()
{
    installErrorTrap();
    DisplayPtr display(XOpenDisplay(nullptr));
    if (!display) {
        const char* name = std::getenv("DISPLAY");
        throw ToolError(std::string("Cannot open the X display \"") + (name ? name : "") + "\"");
    }
    return display;
}

void syncAndCheck(_XDisplay* display, const std::string& what)
{
    errorSeen = false;
    XSync(display, False);
    if (!errorSeen)
        return;
    errorSeen = false;
    char text[256] = {};
    XGetErrorText(display, lastError.error_code, text, sizeof text);
    throw ToolError(what + " failed: " + text);
}

std::vector<unsigned char> pointerMapping(_XDisplay* display)
{
    std::vector<unsigned char> mapping(256);
    mapping.resize(static_cast<std::size_t>(std::max(0, XGetPointerMapping(display, mapping.data(), 256))));
    return mapping;
}

unsigned int physicalButton(const std::vector<unsigned char>& mapping, unsigned int logical)
{
    const auto found = std::find(mapping.begin(), mapping.end(), logical);
    return found == mapping.end() ? logical : static_cast<unsigned int>(found - mapping.begin()) + 1;
}

} // namespace clickpath::platform::x11
