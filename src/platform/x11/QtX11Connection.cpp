#include "platform/x11/QtX11Connection.h"

#include <QGuiApplication>

#include <utility>

#include <xcb/xcb.h>
// Last: Xlib's macros (None, Bool, Status...) clash with Qt's names.
#include <X11/Xlib.h>

namespace clickpath::platform::x11 {

namespace {

// Qt's own X connection: none without a graphical application (clickpath-cli
// runs Qt's core alone) or on another platform.
QNativeInterface::QX11Application* qtX11()
{
    auto* gui = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    return gui ? gui->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
}

} // namespace

void flushQtConnection()
{
    // Qt's offscreen platform offers the interface without a connection.
    auto* x11 = qtX11();
    if (x11 && x11->connection())
        xcb_flush(x11->connection());
}

WindowLossWatch::WindowLossWatch(unsigned long window, std::function<void()> lost)
    : window_(window)
    , lost_(std::move(lost))
{
    QCoreApplication::instance()->installNativeEventFilter(this);
}

WindowLossWatch::~WindowLossWatch()
{
    QCoreApplication::instance()->removeNativeEventFilter(this);
}

bool WindowLossWatch::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*)
{
    if (eventType != "xcb_generic_event_t" || !lost_)
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7f) == XCB_DESTROY_NOTIFY
        && static_cast<const xcb_destroy_notify_event_t*>(message)->window == window_)
        std::exchange(lost_, nullptr)();
    return false;
}

XlibRequestTrimmer::XlibRequestTrimmer(int intervalMs)
{
    if (auto* x11 = qtX11())
        display_ = x11->display();
    if (!display_ || intervalMs <= 0)
        return;
    timer_.setTimerType(Qt::CoarseTimer);
    QObject::connect(&timer_, &QTimer::timeout, [this] { trimNow(); });
    timer_.start(intervalMs);
}

bool XlibRequestTrimmer::trimNow()
{
    if (!display_)
        return false;
    // XSync waits for the reply to a request of Xlib's own and on the way
    // frees the notes of every request before it. Events stay Qt's: with XCB
    // owning the queue, Xlib holds none to keep or discard.
    XSync(display_, False);
    return true;
}

} // namespace clickpath::platform::x11
