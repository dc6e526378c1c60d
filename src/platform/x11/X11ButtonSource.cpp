#include "platform/x11/X11ButtonSource.h"

#include "platform/ToolError.h"

#include <QSocketNotifier>
#include <QTimer>

#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>

namespace clickpath::platform::x11 {

namespace {

// Raw event details are core button numbers: 1 left, 2 middle, 3 right.
constexpr int kRawLeft = 1;
constexpr int kRawRight = 3;

} // namespace

X11ButtonSource::X11ButtonSource()
    : display_(openDisplay())
    , context_(std::make_unique<QObject>())
{
    int event = 0, error = 0;
    if (!XQueryExtension(display_.get(), "XInputExtension", &xiOpcode_, &event, &error))
        throw ToolError("The X server has no XInput extension");
    int major = 2, minor = 2;
    if (XIQueryVersion(display_.get(), &major, &minor) != Success || major < 2 || (major == 2 && minor < 2))
        throw ToolError("The X server offers XInput " + std::to_string(major) + "." + std::to_string(minor)
            + ", and XInput 2.2 is needed to watch the mouse buttons");
}

X11ButtonSource::~X11ButtonSource()
{
    // The notifier and the pending notification die with the context,
    // before the connection closes.
    context_.reset();
}

void X11ButtonSource::start(int capacity, std::function<void()> itemsWaiting)
{
    capacity_ = static_cast<std::size_t>(capacity);
    itemsWaiting_ = std::move(itemsWaiting);
    notifier_ = new QSocketNotifier(ConnectionNumber(display_.get()), QSocketNotifier::Read, context_.get());
    QObject::connect(notifier_, &QSocketNotifier::activated, context_.get(), [this] { drain(); });
    resume();
}

void X11ButtonSource::stop()
{
    delivering_ = false;
    buffer_.clear();
    itemsWaiting_ = nullptr;
    delete notifier_;
    notifier_ = nullptr;
    selectRawButtons(false);
}

void X11ButtonSource::selectRawButtons(bool on)
{
    unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
    if (on) {
        XISetMask(bits, XI_RawButtonPress);
        XISetMask(bits, XI_RawButtonRelease);
    }
    XIEventMask mask{XIAllMasterDevices, static_cast<int>(sizeof bits), bits};
    XISelectEvents(display_.get(), DefaultRootWindow(display_.get()), &mask, 1);
    syncAndCheck(display_.get(), "Selecting the mouse buttons");
}

void X11ButtonSource::resume()
{
    selectRawButtons(true);
    delivering_ = true;
    // Events that arrived with the reply of the sync sit in Xlib's queue,
    // where the socket notifier cannot see them.
    scheduleNotify();
}

std::size_t X11ButtonSource::read(std::span<ButtonItem> out)
{
    std::size_t count = 0;
    for (; count < out.size() && !buffer_.empty(); ++count) {
        out[count] = buffer_.front();
        buffer_.pop_front();
    }
    return count;
}

void X11ButtonSource::takeWaiting()
{
    // The round trip makes sure that every event the server sent before it is
    // in, not only what happens to be readable on the socket yet.
    XSync(display_.get(), False);
    takePending();
}

void X11ButtonSource::drain()
{
    takePending();
    notify();
}

void X11ButtonSource::takePending()
{
    // One readable socket may carry many events; XPending reads them all in.
    while (XPending(display_.get()) > 0) {
        XEvent event;
        XNextEvent(display_.get(), &event);
        take(event);
    }
}

void X11ButtonSource::take(XEvent& event)
{
    XGenericEventCookie* cookie = &event.xcookie;
    if (cookie->type != GenericEvent || cookie->extension != xiOpcode_ || !XGetEventData(display_.get(), cookie))
        return;
    if ((cookie->evtype == XI_RawButtonPress || cookie->evtype == XI_RawButtonRelease) && delivering_) {
        const auto* raw = static_cast<const XIRawEvent*>(cookie->data);
        // Other buttons and the wheel (4 to 7) are of no interest.
        const bool wanted = raw->detail == kRawLeft || raw->detail == kRawRight;
        // Items beyond the buffer's size are lost, as with any full buffer.
        if (wanted && buffer_.size() < capacity_)
            buffer_.push_back({raw->detail == kRawLeft ? MouseButton::Left : MouseButton::Right,
                cookie->evtype == XI_RawButtonPress});
    }
    XFreeEventData(display_.get(), cookie);
}

void X11ButtonSource::notify()
{
    if (buffer_.empty() || !itemsWaiting_ || !delivering_)
        return;
    // A copy: the callback may stop delivery, which lets go of the original.
    const std::function<void()> callback = itemsWaiting_;
    callback();
    if (!buffer_.empty())
        scheduleNotify();
}

void X11ButtonSource::scheduleNotify()
{
    if (notifyScheduled_)
        return;
    notifyScheduled_ = true;
    QTimer::singleShot(0, context_.get(), [this] {
        notifyScheduled_ = false;
        drain();
    });
}

} // namespace clickpath::platform::x11
