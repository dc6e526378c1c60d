#include "platform/DesktopChoice.h"

namespace clickpath::platform {

DesktopKind desktopOf(const QProcessEnvironment& environment)
{
    const bool saysWayland
        = environment.value(QStringLiteral("XDG_SESSION_TYPE")).compare(QStringLiteral("wayland"), Qt::CaseInsensitive)
        == 0;
    if (saysWayland || !environment.value(QStringLiteral("WAYLAND_DISPLAY")).isEmpty())
        return DesktopKind::Wayland;
    return environment.value(QStringLiteral("DISPLAY")).isEmpty() ? DesktopKind::None : DesktopKind::X11;
}

QString compositorName(const QProcessEnvironment& environment)
{
    // sway and Hyprland leave their IPC sockets' variables; the others say
    // who they are in XDG_CURRENT_DESKTOP ("KDE", "GNOME", "ubuntu:GNOME").
    if (environment.contains(QStringLiteral("SWAYSOCK")))
        return QStringLiteral("sway");
    if (environment.contains(QStringLiteral("HYPRLAND_INSTANCE_SIGNATURE")))
        return QStringLiteral("Hyprland");
    const QString desktop = environment.value(QStringLiteral("XDG_CURRENT_DESKTOP")).section(':', -1);
    return desktop.isEmpty() ? QStringLiteral("the compositor") : desktop;
}

} // namespace clickpath::platform
