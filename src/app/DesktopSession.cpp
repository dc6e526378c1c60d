#include "app/DesktopSession.h"

namespace clickpath::app {

QString waylandWarning(const QProcessEnvironment& environment)
{
    const bool wayland
        = environment.value(QStringLiteral("XDG_SESSION_TYPE")).compare(QStringLiteral("wayland"), Qt::CaseInsensitive)
            == 0
        || !environment.value(QStringLiteral("WAYLAND_DISPLAY")).isEmpty();
    if (!wayland)
        return {};
    return QStringLiteral(
        "This is a Wayland session. clickpath runs on XWayland here: it can move the pointer and click only "
        "over X11 windows, and windows of native Wayland programs will not receive its clicks. The desktop "
        "may also ask for permission before it lets a program control the input.\n\n"
        "For full use, log in to an \"X11\" or \"Xorg\" session.");
}

QString noDisplayMessage(const QString& exeBaseName)
{
    return QStringLiteral("%1: no X display ($DISPLAY is not set). Start it from a desktop session,\n"
                          "or on a virtual display: xvfb-run -a %1\n")
        .arg(exeBaseName);
}

} // namespace clickpath::app
