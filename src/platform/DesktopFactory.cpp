// The one place that knows every desktop: it chooses the session's at start.
#include "core/ToolError.h"
#include "platform/Desktop.h"

#if CLICKPATH_WITH_X11
#include "platform/x11/X11Desktop.h"
#endif
#if CLICKPATH_WITH_WAYLAND
#include "platform/wayland/WaylandDesktop.h"
#endif

namespace clickpath::platform {

namespace {

QString compositorName(const QProcessEnvironment& environment)
{
    // sway and Hyprland leave their IPC sockets' variables; the others say
    // who they are in XDG_CURRENT_DESKTOP ("KDE", "GNOME", "ubuntu:GNOME").
    if (environment.contains(QStringLiteral("SWAYSOCK")))
        return QStringLiteral("sway");
    if (environment.contains(QStringLiteral("HYPRLAND_INSTANCE_SIGNATURE")))
        return QStringLiteral("Hyprland");
    const QString desktop = environment.value(QStringLiteral("XDG_CURRENT_DESKTOP")).section(':', -1);
    if (desktop == QLatin1String("KDE"))
        return QStringLiteral("KWin"); // Plasma's compositor
    return desktop.isEmpty() ? QStringLiteral("the compositor") : desktop;
}

[[noreturn]] void leftOut(const char* desktop)
{
    throw ToolError(std::string("This build of clickpath leaves out ") + desktop + ", which this session runs");
}

} // namespace

std::optional<DesktopChoice> desktopOf(const QProcessEnvironment& environment)
{
    const bool wayland
        = environment.value(QStringLiteral("XDG_SESSION_TYPE")).compare(QStringLiteral("wayland"), Qt::CaseInsensitive)
            == 0
        || !environment.value(QStringLiteral("WAYLAND_DISPLAY")).isEmpty();
    if (!wayland && environment.value(QStringLiteral("DISPLAY")).isEmpty())
        return std::nullopt;
    return DesktopChoice{
        wayland ? DesktopKind::Wayland : DesktopKind::X11, compositorName(environment), wayland ? "wayland" : "xcb"};
}

DesktopChoice chooseDesktop(const QProcessEnvironment& environment, const QString& program)
{
    const std::optional<DesktopChoice> choice = desktopOf(environment);
    if (!choice)
        throw ToolError(QStringLiteral("no display: neither $WAYLAND_DISPLAY nor $DISPLAY is set. Start it from a "
                                       "desktop session, or on a virtual display: xvfb-run -a %1")
                            .arg(program)
                            .toStdString());
    if (choice->kind == DesktopKind::Wayland) {
#if CLICKPATH_WITH_WAYLAND
        wayland::checkWaylandDisplay();
#else
        leftOut("Wayland");
#endif
    } else {
#if CLICKPATH_WITH_X11
        x11::checkX11Display();
#else
        leftOut("X11");
#endif
    }
    return *choice;
}

std::unique_ptr<Desktop> openDesktop(const DesktopChoice& choice, MessageSink& messages)
{
#if CLICKPATH_WITH_WAYLAND
    if (choice.kind == DesktopKind::Wayland)
        return std::make_unique<wayland::WaylandDesktop>(choice.compositor, messages);
#endif
#if CLICKPATH_WITH_X11
    if (choice.kind == DesktopKind::X11)
        return std::make_unique<x11::X11Desktop>(messages);
#endif
    leftOut(choice.kind == DesktopKind::Wayland ? "Wayland" : "X11");
}

} // namespace clickpath::platform
