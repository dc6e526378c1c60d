#include "platform/x11/X11StopKey.h"

#include "core/ToolError.h"

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

// "Ctrl+Alt+F12": the modifiers named before the key. Throws a ToolError
// for a name it does not know, which would otherwise take the bare key.
unsigned int modifiersNamed(const QStringList& parts)
{
    unsigned int mask = 0;
    for (const QString& part : parts.mid(0, parts.size() - 1)) {
        const QString name = part.toLower();
        const unsigned int modifier = name == "ctrl" || name == "control" ? ControlMask
            : name == "shift"                                             ? ShiftMask
            : name == "alt"                                               ? Mod1Mask
            : name == "super"                                             ? Mod4Mask
                                                                          : 0;
        if (!modifier)
            throw ToolError(
                "There is no modifier \"" + part.toStdString() + "\" to stop with: Ctrl, Shift, Alt and Super are");
        mask |= modifier;
    }
    return mask;
}

void ungrab(Display* display, unsigned int keycode, const std::vector<unsigned int>& modifiers)
{
    for (const unsigned int mask : modifiers)
        XUngrabKey(display, static_cast<int>(keycode), mask, DefaultRootWindow(display));
    XSync(display, False);
}

} // namespace

X11StopKey::X11StopKey(X11ButtonSource& buttons, const QString& key, std::function<void()> pressed)
    : buttons_(buttons)
{
    Display* display = buttons_.display();
    const QStringList parts = key.split('+');
    const KeySym symbol = XStringToKeysym(parts.back().toLatin1().constData());
    keycode_ = symbol == NoSymbol ? 0 : XKeysymToKeycode(display, symbol);
    if (!keycode_)
        throw ToolError("There is no key \"" + key.toStdString() + "\" on this keyboard to stop with");
    const unsigned int base = modifiersNamed(parts);
    const unsigned int locks[] = {LockMask, modifierOf(display, XK_Num_Lock), modifierOf(display, XK_Scroll_Lock)};
    for (unsigned int variant = 0; variant < 8; ++variant) {
        unsigned int mask = base;
        for (int lock = 0; lock < 3; ++lock)
            mask |= (variant >> lock) & 1 ? locks[lock] : 0;
        if (std::find(modifiers_.begin(), modifiers_.end(), mask) == modifiers_.end())
            modifiers_.push_back(mask);
    }
    for (const unsigned int mask : modifiers_)
        XGrabKey(
            display, static_cast<int>(keycode_), mask, DefaultRootWindow(display), False, GrabModeAsync, GrabModeAsync);
    try {
        syncAndCheck(display, "Taking the key \"" + key.toStdString() + "\" (another program may hold it)");
    } catch (const ToolError&) {
        ungrab(display, keycode_, modifiers_); // the variants that were taken: only this program's go
        throw;
    }
    buttons_.onKeyPress([this, pressed = std::move(pressed)](unsigned int keycode) {
        if (keycode == keycode_)
            pressed();
    });
}

X11StopKey::~X11StopKey()
{
    buttons_.onKeyPress(nullptr);
    ungrab(buttons_.display(), keycode_, modifiers_);
}

} // namespace clickpath::platform::x11
