#include "platform/x11/X11ButtonSource.h"

#include "core/ToolError.h"

#include <QSocketNotifier>

#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>

namespace clickpath::platform::x11 {

namespace {

// Raw event details are physical button numbers; the pointer's map makes
// them logical ones: 1 the primary button, 3 the secondary.
constexpr int kPrimary = 1;
constexpr int kSecondary = 3;

} // namespace

X11ButtonSource::X11ButtonSource()
    : display_(openDisplay())
    , context_(std::make_unique<QObject>())
    , delivery_(context_.get(), [this] { takePending(); })
{
    int event = 0, error = 0;
    if (!XQueryExtension(display_.get(), "XInputExtension", &xiOpcode_, &event, &error))
        throw ToolError("The X server has no XInput extension");
    int major = 2, minor = 2;
    if (XIQueryVersion(display_.get(), &major, &minor) != Success || major < 2 || (major == 2 && minor < 2))
        throw ToolError("The X server offers XInput " + std::to_string(major) + "." + std::to_string(minor)
            + ", and XInput 2.2 is needed to watch the mouse buttons");
    mapping_ = pointerMapping(display_.get());
    // Read also while stopped: a grabbed key's presses and the button map's
    // changes are taken when they come, not all at once at the next start.
    auto* notifier = new QSocketNotifier(ConnectionNumber(display_.get()), QSocketNotifier::Read, context_.get());
    QObject::connect(notifier, &QSocketNotifier::activated, context_.get(), [this] { drain(); });
}

X11ButtonSource::~X11ButtonSource()
{
    // The notifier and the pending notification die with the context,
    // before the connection closes.
    context_.reset();
}

void X11ButtonSource::start(int capacity, std::function<void()> itemsWaiting)
{
    delivery_.start(capacity, std::move(itemsWaiting));
    resume();
}

void X11ButtonSource::stop()
{
    delivery_.stop();
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
    // Events that arrived with the reply of the sync sit in Xlib's queue,
    // where the socket notifier cannot see them: the delivery takes them in.
    delivery_.resume();
}

std::size_t X11ButtonSource::read(std::span<ButtonItem> out)
{
    return delivery_.read(out);
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
    delivery_.notify();
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
    if (event.type == MappingNotify && event.xmapping.request == MappingPointer)
        mapping_ = pointerMapping(display_.get()); // the desk was made left- or right-handed
    if (event.type == KeyPress && keyPressed_)
        keyPressed_(event.xkey.keycode); // a grabbed key
    XGenericEventCookie* cookie = &event.xcookie;
    if (cookie->type != GenericEvent || cookie->extension != xiOpcode_ || !XGetEventData(display_.get(), cookie))
        return;
    if ((cookie->evtype == XI_RawButtonPress || cookie->evtype == XI_RawButtonRelease) && delivery_.delivering()) {
        const auto* raw = static_cast<const XIRawEvent*>(cookie->data);
        const auto at = static_cast<std::size_t>(raw->detail) - 1;
        const int logical = at < mapping_.size() ? mapping_[at] : raw->detail;
        // Other buttons and the wheel (4 to 7) are of no interest.
        if (logical == kPrimary || logical == kSecondary)
            delivery_.add({logical == kPrimary ? MouseButton::Primary : MouseButton::Secondary,
                cookie->evtype == XI_RawButtonPress});
    }
    XFreeEventData(display_.get(), cookie);
}

} // namespace clickpath::platform::x11
