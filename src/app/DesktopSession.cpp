#include "app/DesktopSession.h"

namespace clickpath::app {

QString noDisplayMessage(const QString& exeBaseName)
{
    return QStringLiteral("%1: no display ($WAYLAND_DISPLAY and $DISPLAY are not set). Start it from a desktop "
                          "session,\nor on a virtual display: xvfb-run -a %1\n")
        .arg(exeBaseName);
}

} // namespace clickpath::app
