#include "platform/x11/X11Harness.h"

#include <QDeadlineTimer>
#include <QThread>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <stdexcept>

namespace clickpath::fakes {

XUser::XUser(bool watching)
    : display_(XOpenDisplay(nullptr))
{
    if (!display_)
        throw std::runtime_error("the test's user cannot open the display");
    if (!watching)
        return;
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    attributes.event_mask = PointerMotionMask | ButtonPressMask | ButtonReleaseMask;
    const Window root = DefaultRootWindow(display_);
    window_ = XCreateWindow(display_, root, 0, 0, 1280, 1024, 0, CopyFromParent, InputOnly, CopyFromParent,
        CWOverrideRedirect | CWEventMask, &attributes);
    XMapRaised(display_, window_);
    XSync(display_, False);
}

XUser::~XUser()
{
    XCloseDisplay(display_);
}

QString XUser::take()
{
    XSync(display_, False);
    QStringList trail;
    QString lastMove;
    while (XPending(display_)) {
        XEvent e;
        XNextEvent(display_, &e);
        const QString at = QStringLiteral("%1,%2").arg(e.xmotion.x_root).arg(e.xmotion.y_root);
        if (e.type == MotionNotify && at != lastMove)
            trail << (lastMove = at);
        else if ((e.type == ButtonPress || e.type == ButtonRelease) && e.xbutton.button == Button1)
            trail << (e.type == ButtonPress ? "P" : "R");
    }
    return trail.join(' ');
}

unsigned int XUser::buttonsDown()
{
    Window root = 0, child = 0;
    int rx = 0, ry = 0, wx = 0, wy = 0;
    unsigned int mask = 0;
    XQueryPointer(display_, DefaultRootWindow(display_), &root, &child, &rx, &ry, &wx, &wy, &mask);
    return mask & (Button1Mask | Button2Mask | Button3Mask);
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

unsigned long XUser::findWindow(const QString& title)
{
    Window root = 0, parent = 0, *children = nullptr;
    unsigned int count = 0;
    XQueryTree(display_, DefaultRootWindow(display_), &root, &parent, &children, &count);
    Window found = 0;
    for (unsigned int i = 0; i < count && !found; ++i) {
        char* name = nullptr;
        XWindowAttributes attributes{};
        if (XFetchName(display_, children[i], &name) && name && title == QString::fromUtf8(name)
            && XGetWindowAttributes(display_, children[i], &attributes) && attributes.map_state == IsViewable)
            found = children[i];
        XFree(name);
    }
    XFree(children);
    return found;
}

void XUser::clickInWindow(unsigned long window, int x, int y)
{
    int rootX = 0, rootY = 0;
    Window child = 0;
    XTranslateCoordinates(display_, window, DefaultRootWindow(display_), x, y, &rootX, &rootY, &child);
    moveTo(rootX, rootY);
    click(1);
}

void XUser::destroyWindow(unsigned long window)
{
    XDestroyWindow(display_, window);
    XSync(display_, False);
}

void XUser::killClientOf(unsigned long window)
{
    XKillClient(display_, window);
    XSync(display_, False);
}

bool pumpUntil(const std::function<bool()>& done, int milliseconds)
{
    // Other processes and the X server offer no event to wait on: poll.
    for (const QDeadlineTimer deadline(milliseconds); !done(); QThread::msleep(5))
        if (deadline.hasExpired())
            return false;
    return true;
}

Outcome finish(QProcess& program, int milliseconds)
{
    if (!program.waitForFinished(milliseconds)) {
        program.kill();
        program.waitForFinished();
    }
    const bool merged = program.processChannelMode() == QProcess::MergedChannels;
    // A process that a signal ended reports the signal as its exit code.
    return {program.exitCode() + (program.exitStatus() == QProcess::NormalExit ? 0 : 128),
        merged ? program.readAll() : program.readAllStandardError()};
}

Outcome run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    return finish(process);
}

} // namespace clickpath::fakes
