#include "platform/wayland/GnomeCursor.h"

#include "core/ToolError.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusMessage>

namespace clickpath::platform::wayland {

namespace {

const QString kShell = QStringLiteral("org.gnome.Shell");

QDBusInterface tracker()
{
    return QDBusInterface(kShell, QStringLiteral("/org/clickpath/CursorTracker"),
        QStringLiteral("org.clickpath.CursorTracker"), QDBusConnection::sessionBus());
}

} // namespace

std::unique_ptr<GnomeCursor> GnomeCursor::connect(Clock& clock)
{
    return onSessionBus(kShell) ? std::unique_ptr<GnomeCursor>(new GnomeCursor(clock)) : nullptr;
}

GnomeCursor::GnomeCursor(Clock& clock)
    : PushedCursor(clock, kShell, QStringLiteral("GNOME Shell"))
{
}

GnomeCursor::~GnomeCursor()
{
    stop();
}

void GnomeCursor::begin()
{
    const QDBusMessage started = tracker().call(QStringLiteral("Start"));
    if (started.type() == QDBusMessage::ErrorMessage)
        throw ToolError("GNOME tells no program where the pointer is, but clickpath's GNOME Shell extension does, and "
                        "it does not answer ("
            + started.errorMessage().toStdString()
            + "): enable it with \"gnome-extensions enable clickpath-cursor@clickpath\", then log out and in "
              "again (see the README, \"Wayland\"). Playback works without it.");
}

void GnomeCursor::end()
{
    tracker().call(QStringLiteral("Stop"));
}

} // namespace clickpath::platform::wayland
