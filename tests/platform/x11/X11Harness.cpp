#include "platform/x11/X11Harness.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QPushButton>
#include <QTimer>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <stdexcept>
#include <string>

namespace clickpath::fakes {

XUser::XUser(bool watch)
    : display_(XOpenDisplay(nullptr))
{
    if (!display_)
        throw std::runtime_error("no display for the test's user");
    if (!watch)
        return;
    const int screen = DefaultScreen(display_);
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    attributes.event_mask = PointerMotionMask | ButtonPressMask | ButtonReleaseMask;
    window_ = XCreateWindow(display_, RootWindow(display_, screen), 0, 0, DisplayWidth(display_, screen),
        DisplayHeight(display_, screen), 0, CopyFromParent, InputOnly, CopyFromParent, CWOverrideRedirect | CWEventMask,
        &attributes);
    XMapRaised(display_, window_);
    XSync(display_, False);
}

XUser::~XUser()
{
    if (window_)
        XDestroyWindow(display_, window_);
    XCloseDisplay(display_);
}

std::vector<InputEvent> XUser::take()
{
    XSync(display_, False);
    std::vector<InputEvent> seen;
    while (XPending(display_)) {
        XEvent event;
        XNextEvent(display_, &event);
        if (event.type == MotionNotify) {
            const InputEvent moved = move(event.xmotion.x_root, event.xmotion.y_root);
            if (seen.empty() || !(seen.back().x == moved.x && seen.back().y == moved.y))
                seen.push_back(moved);
        } else if ((event.type == ButtonPress || event.type == ButtonRelease) && event.xbutton.button == Button1) {
            seen.push_back({event.type == ButtonPress ? InputEvent::Press : InputEvent::Release, event.xbutton.x_root,
                event.xbutton.y_root});
        }
    }
    return seen;
}

unsigned int XUser::buttonsDown()
{
    Window root = 0, child = 0;
    int rx = 0, ry = 0, wx = 0, wy = 0;
    unsigned int mask = 0;
    XQueryPointer(display_, DefaultRootWindow(display_), &root, &child, &rx, &ry, &wx, &wy, &mask);
    return mask & (Button1Mask | Button2Mask | Button3Mask | Button4Mask | Button5Mask);
}

void XUser::moveTo(int x, int y)
{
    XTestFakeMotionEvent(display_, -1, x, y, CurrentTime);
    XSync(display_, False);
}

void XUser::button(unsigned int which, bool down)
{
    XTestFakeButtonEvent(display_, which, down ? True : False, CurrentTime);
    XSync(display_, False);
}

void XUser::click(unsigned int which)
{
    button(which, true);
    button(which, false);
}

std::optional<std::pair<int, int>> XUser::windowOrigin(const char* title)
{
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    std::optional<std::pair<int, int>> found;
    if (!XQueryTree(display_, DefaultRootWindow(display_), &root, &parent, &children, &count))
        return found;
    for (unsigned int i = 0; i < count && !found; ++i) {
        char* name = nullptr;
        XWindowAttributes attributes{};
        if (XFetchName(display_, children[i], &name) && name && std::string(name) == title
            && XGetWindowAttributes(display_, children[i], &attributes) && attributes.map_state == IsViewable)
            found = std::make_pair(attributes.x, attributes.y);
        if (name)
            XFree(name);
    }
    XFree(children);
    return found;
}

RealTool::RealTool(const QString& dir, const char* boxes)
    : form(window, desktop.services(), dialog, core::AppPaths(dir, "clickpath"))
{
    window.connectHandlers(form);
    form.Form_Load();
    // Sleep, Click, VM, HM, 1st.: "0 0 0 0 0" unless given.
    const QStringList texts = QString(boxes ? boxes : "0 0 0 0 0").split(' ');
    for (int i = 0; i < 5; ++i)
        window.setBoxText(static_cast<core::SettingBox>(i), texts.value(i));
}

bool RealTool::pumpUntil(const std::function<bool()>& done, int milliseconds)
{
    QDeadlineTimer deadline(milliseconds);
    QTimer wake; // bounds each blocking wait for events
    wake.start(5);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return done();
}

bool RealTool::commandsEnabled() const
{
    return window.findChild<QPushButton*>("Command1")->isEnabled();
}

} // namespace clickpath::fakes
