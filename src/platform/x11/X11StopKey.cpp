#include "platform/x11/X11StopKey.h"

#include "core/ToolError.h"

#include <QSocketNotifier>
#include <QStringList>

// Last: Xlib's macros clash with Qt's names.
#include <X11/Xlib.h>
#include <X11/keysym.h>

namespace clickpath::platform::x11 {

namespace {

// The modifier bit a lock key sits on, which the keyboard map decides (Num
// Lock is Mod2 on most, Scroll Lock anywhere or nowhere); 0 without one.
unsigned int modifierOf(Display* display, KeySym lock)
{
    const KeyCode code = XKeysymToKeycode(display, lock);
    XModifierKeymap* map = XGetModifierMapping(display);
    unsigned int mask = 0;
    for (int modifier = 0; map && code && modifier < 8; ++modifier)
        for (int k = 0; k < map->max_keypermod; ++k)
            if (map->modifiermap[modifier * map->max_keypermod + k] == code)
                mask = 1U << modifier;
    if (map)
        XFreeModifiermap(map);
    return mask;
}

// "Ctrl+Alt+F12": the modifiers named before the key.
unsigned int modifiersNamed(const QStringList& parts)
{
    unsigned int mask = 0;
    for (const QString& part : parts.mid(0, parts.size() - 1)) {
        const QString name = part.toLower();
        mask |= name == "ctrl" || name == "control" ? ControlMask
            : name == "shift"                       ? ShiftMask
            : name == "alt"                         ? Mod1Mask
            : name == "super"                       ? Mod4Mask
                                                    : 0;
    }
    return mask;
}

} // namespace

X11StopKey::X11StopKey(const QString& key, std::function<void()> pressed)
    : display_(openDisplay())
    , pressed_(std::move(pressed))
    , context_(std::make_unique<QObject>())
{
    const QStringList parts = key.split('+');
    const KeySym symbol = XStringToKeysym(parts.back().toLatin1().constData());
    keycode_ = symbol == NoSymbol ? 0 : XKeysymToKeycode(display_.get(), symbol);
    if (!keycode_)
        throw ToolError("There is no key \"" + key.toStdString() + "\" on this keyboard to stop with");
    const unsigned int base = modifiersNamed(parts);
    const unsigned int locks[]
        = {LockMask, modifierOf(display_.get(), XK_Num_Lock), modifierOf(display_.get(), XK_Scroll_Lock)};
    for (unsigned int variant = 0; variant < 8; ++variant) {
        unsigned int mask = base;
        for (int lock = 0; lock < 3; ++lock)
            mask |= (variant >> lock) & 1 ? locks[lock] : 0;
        if (std::find(modifiers_.begin(), modifiers_.end(), mask) == modifiers_.end())
            modifiers_.push_back(mask);
    }
    for (const unsigned int mask : modifiers_)
        XGrabKey(display_.get(), static_cast<int>(keycode_), mask, DefaultRootWindow(display_.get()), False,
            GrabModeAsync, GrabModeAsync);
    syncAndCheck(display_.get(), "Taking the key \"" + key.toStdString() + "\" (another program may hold it)");
    auto* notifier = new QSocketNotifier(ConnectionNumber(display_.get()), QSocketNotifier::Read, context_.get());
    QObject::connect(notifier, &QSocketNotifier::activated, context_.get(), [this] { drain(); });
}

X11StopKey::~X11StopKey()
{
    context_.reset();
    for (const unsigned int mask : modifiers_)
        XUngrabKey(display_.get(), static_cast<int>(keycode_), mask, DefaultRootWindow(display_.get()));
    XSync(display_.get(), False);
}

void X11StopKey::drain()
{
    while (XPending(display_.get()) > 0) {
        XEvent event;
        XNextEvent(display_.get(), &event);
        if (event.type == KeyPress && event.xkey.keycode == keycode_)
            pressed_();
    }
}

} // namespace clickpath::platform::x11
