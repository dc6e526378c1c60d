#pragma once

#include <QProcessEnvironment>
#include <QString>

namespace clickpath::app {

// The warning to show at start-up in a Wayland session, where the tool runs on
// XWayland and reaches X11 windows only; empty in an X11 session.
QString waylandWarning(const QProcessEnvironment& environment);

// The message for a start without any display.
QString noDisplayMessage(const QString& exeBaseName);

} // namespace clickpath::app
