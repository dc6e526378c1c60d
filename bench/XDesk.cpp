#include "XDesk.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XInput2.h>
#include <X11/extensions/XTest.h>

#include <stdexcept>
#include <unistd.h>

namespace bench {

XDesk::XDesk()
    : display_(XOpenDisplay(nullptr))
    , watcher_(XOpenDisplay(nullptr))
{
    if (!display_ || !watcher_)
        throw std::runtime_error("bench: cannot open the display");
    int event = 0, error = 0;
    if (!XQueryExtension(watcher_, "XInputExtension", &xiOpcode_, &event, &error))
        throw std::runtime_error("bench: no XInput");
    int major = 2, minor = 2;
    XIQueryVersion(watcher_, &major, &minor);
    unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
    XISetMask(bits, XI_RawMotion);
    XIEventMask mask{XIAllMasterDevices, static_cast<int>(sizeof bits), bits};
    XISelectEvents(watcher_, DefaultRootWindow(watcher_), &mask, 1);
    // A property change on a window of our own tells the server's time.
    XSetWindowAttributes attributes{};
    attributes.event_mask = PropertyChangeMask;
    timeWindow_ = XCreateWindow(watcher_, DefaultRootWindow(watcher_), -10, -10, 1, 1, 0, CopyFromParent, InputOnly,
        CopyFromParent, CWEventMask, &attributes);
    XSync(watcher_, False);
}

XDesk::~XDesk()
{
    XCloseDisplay(watcher_);
    XCloseDisplay(display_);
}

void XDesk::moveTo(int x, int y)
{
    XTestFakeMotionEvent(display_, -1, x, y, CurrentTime);
    XSync(display_, False);
}

void XDesk::click(unsigned int button)
{
    XTestFakeButtonEvent(display_, button, True, CurrentTime);
    XTestFakeButtonEvent(display_, button, False, CurrentTime);
    XSync(display_, False);
}

void XDesk::pressAt(bool down)
{
    XTestFakeButtonEvent(display_, 1, down ? True : False, CurrentTime);
    XSync(display_, False);
}

unsigned int XDesk::buttonsDown()
{
    Window root = 0, child = 0;
    int x = 0, y = 0, wx = 0, wy = 0;
    unsigned int mask = 0;
    XQueryPointer(display_, DefaultRootWindow(display_), &root, &child, &x, &y, &wx, &wy, &mask);
    return mask & (Button1Mask | Button2Mask | Button3Mask);
}

std::pair<int, int> XDesk::pointer()
{
    Window root = 0, child = 0;
    int x = 0, y = 0, wx = 0, wy = 0;
    unsigned int mask = 0;
    XQueryPointer(display_, DefaultRootWindow(display_), &root, &child, &x, &y, &wx, &wy, &mask);
    return {x, y};
}

std::vector<Motion> XDesk::takeMotion()
{
    std::vector<Motion> moves;
    while (XPending(watcher_)) {
        XEvent event;
        XNextEvent(watcher_, &event);
        XGenericEventCookie* cookie = &event.xcookie;
        if (cookie->type != GenericEvent || cookie->extension != xiOpcode_ || !XGetEventData(watcher_, cookie))
            continue;
        if (cookie->evtype == XI_RawMotion) {
            const auto* raw = static_cast<const XIRawEvent*>(cookie->data);
            double values[2] = {0, 0};
            int n = 0;
            for (int bit = 0; bit < raw->valuators.mask_len * 8 && n < 2; ++bit)
                if (XIMaskIsSet(raw->valuators.mask, bit))
                    values[n] = raw->valuators.values[n], ++n;
            moves.push_back({static_cast<std::uint32_t>(raw->time), values[0], values[1]});
        }
        XFreeEventData(watcher_, cookie);
    }
    return moves;
}

void XDesk::drainMotion()
{
    for (int quiet = 0; quiet < 20;) {
        XSync(watcher_, False);
        quiet = takeMotion().empty() ? quiet + 1 : 0;
        usleep(10000);
    }
}

std::uint32_t XDesk::serverNow()
{
    XChangeProperty(watcher_, timeWindow_, XA_WM_NAME, XA_STRING, 8, PropModeAppend, nullptr, 0);
    XSync(watcher_, False);
    // Keep motion events queued; look only for our property notification.
    XEvent event;
    XWindowEvent(watcher_, timeWindow_, PropertyChangeMask, &event);
    return static_cast<std::uint32_t>(event.xproperty.time);
}

std::vector<std::pair<int, int>> XDesk::originsOf(const std::string& title)
{
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    std::vector<std::pair<int, int>> found;
    XQueryTree(display_, DefaultRootWindow(display_), &root, &parent, &children, &count);
    for (unsigned int i = 0; i < count; ++i) {
        char* name = nullptr;
        XWindowAttributes attributes{};
        if (XFetchName(display_, children[i], &name) && name && title == name
            && XGetWindowAttributes(display_, children[i], &attributes) && attributes.map_state == IsViewable)
            found.emplace_back(attributes.x, attributes.y);
        if (name)
            XFree(name);
    }
    if (children)
        XFree(children);
    return found;
}

std::optional<std::pair<int, int>> XDesk::windowOrigin(const std::string& title)
{
    const auto found = originsOf(title);
    if (found.empty())
        return std::nullopt;
    return found.front();
}

int XDesk::windowsTitled(const std::string& title)
{
    return static_cast<int>(originsOf(title).size());
}

int XDesk::darkPixels(int x, int y, int width, int height)
{
    XImage* image = XGetImage(display_, DefaultRootWindow(display_), x, y, width, height, AllPlanes, ZPixmap);
    if (!image)
        return 0;
    int dark = 0;
    for (int row = 0; row < height; ++row)
        for (int column = 0; column < width; ++column) {
            const unsigned long pixel = XGetPixel(image, column, row);
            const bool isDark = ((pixel >> 16) & 0xFF) < 0x40 && ((pixel >> 8) & 0xFF) < 0x40 && (pixel & 0xFF) < 0x40;
            dark += isDark;
        }
    XDestroyImage(image);
    return dark;
}

} // namespace bench
