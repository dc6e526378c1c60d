#pragma once

#include "platform/MessageSink.h"
#include "platform/Services.h"

#include <QProcessEnvironment>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

namespace clickpath::platform {

// Something a desktop keeps up while its owner holds it: a key's grab, a
// watch of the window.
class Hold {
public:
    virtual ~Hold() = default;
};

// What a desktop gives the tool. Each desktop implements it in a folder of
// its own (x11/, wayland/, and the tests' fake); the programs see only this
// and the two calls below.
class Desktop {
public:
    virtual ~Desktop() = default;
    // Pointer, button injector, mouse buttons, the pointer's position and
    // the session, for recording and playback, with the clock, timers and
    // random numbers that every desktop shares. Their methods say how they fail.
    virtual Services services() = 0;
    // Grabs `key`, a key's name as X11 spells it ("Pause", "F12",
    // "Ctrl+F12"), so that `pressed` runs whenever it is pressed, for as long
    // as the hold lives. Null where the desktop gives no program a key
    // (Wayland); a key that another program holds, or that has no such name,
    // is said once through the messages and null comes back.
    virtual std::unique_ptr<Hold> grabStopKey(const QString& key, std::function<void()> pressed) = 0;
    // Runs `lost` once when another program destroys the window `window`
    // (xdotool's windowclose, say); null where no program can.
    virtual std::unique_ptr<Hold> watchWindowLoss(unsigned long window, std::function<void()> lost) = 0;
    // Sends what Qt has queued for the display now, so that a new caption
    // is drawn within its tick; nothing where Qt needs no help.
    virtual void flushWindow() {}
};

enum class DesktopKind { X11, Wayland };

// The session's desktop as chosen before Qt's application exists: Qt
// would end the program on a display it cannot reach.
struct DesktopChoice {
    DesktopKind kind = DesktopKind::X11;
    QString compositor;          // for messages: sway, KDE, GNOME, Hyprland..., "the compositor"
    const char* qtPlatform = ""; // the Qt platform plugin the window runs on
};

// Wayland when the session says so or offers a Wayland display, even with
// XWayland's $DISPLAY beside it; X11 with $DISPLAY alone; nothing without a
// display. The environment alone tells it.
std::optional<DesktopChoice> desktopOf(const QProcessEnvironment& environment);

// The session's desktop, its display reached once. Throws a ToolError that
// says how to start one when there is none (`program` names the program in
// it), that names the display when it cannot be reached, or that says so
// when this build leaves the desktop out.
DesktopChoice chooseDesktop(const QProcessEnvironment& environment, const QString& program);

// The chosen desktop, once Qt's application exists; warnings of its own go
// to `messages`. Throws a ToolError when it cannot be used: no XTEST; on
// Wayland no readable pointing device or no access to /dev/uinput.
std::unique_ptr<Desktop> openDesktop(const DesktopChoice& choice, MessageSink& messages);

} // namespace clickpath::platform
