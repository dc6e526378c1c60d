#pragma once

#include <QProcessEnvironment>
#include <QString>

namespace clickpath::platform {

enum class DesktopKind { X11, Wayland, None };

// The desktop the session runs: Wayland when it says so or offers a Wayland
// display, even with XWayland's $DISPLAY beside it; X11 with $DISPLAY alone.
DesktopKind desktopOf(const QProcessEnvironment& environment);

// The compositor's name for messages: sway, Hyprland, KDE, GNOME...; "the
// compositor" when the session does not say.
QString compositorName(const QProcessEnvironment& environment);

} // namespace clickpath::platform
