#include "platform/wayland/KWinCursor.h"

#include "core/ToolError.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>

namespace clickpath::platform::wayland {

namespace {

const QString kKWin = QStringLiteral("org.kde.KWin");
const QString kScriptName = QStringLiteral("clickpath-cursor");

QDBusInterface kwinScripting()
{
    return QDBusInterface(
        kKWin, QStringLiteral("/Scripting"), QStringLiteral("org.kde.kwin.Scripting"), QDBusConnection::sessionBus());
}

// KWin's scripts see its cursor as workspace.cursorPos (KWin 5.27 and later)
// and can call out over D-Bus; one call per move, none while it rests.
QByteArray scriptFor(const QString& service)
{
    return QStringLiteral("function report() {\n"
                          "    callDBus('%1', '%2', '%3', 'moved', workspace.cursorPos.x, workspace.cursorPos.y);\n"
                          "}\n"
                          "workspace.cursorPosChanged.connect(report);\n"
                          "report();\n")
        .arg(service, PushedCursor::kObjectPath, PushedCursor::kInterface)
        .toUtf8();
}

} // namespace

std::unique_ptr<KWinCursor> KWinCursor::connect(Clock& clock)
{
    return onSessionBus(kKWin) ? std::unique_ptr<KWinCursor>(new KWinCursor(clock)) : nullptr;
}

KWinCursor::KWinCursor(Clock& clock)
    : PushedCursor(clock, kKWin, QStringLiteral("KWin"))
{
}

KWinCursor::~KWinCursor()
{
    stop();
}

void KWinCursor::begin()
{
    if (!script_.isOpen()
        && (!script_.open() || script_.write(scriptFor(QDBusConnection::sessionBus().baseService())) < 0
            || !script_.flush()))
        throw ToolError("Cannot write KWin's script to " + script_.fileName().toStdString());
    QDBusInterface scripting = kwinScripting();
    scripting.call(QStringLiteral("unloadScript"), kScriptName); // a copy left by a run that was killed
    const QDBusReply<int> id = scripting.call(QStringLiteral("loadScript"), script_.fileName(), kScriptName);
    if (!id.isValid() || id.value() < 0)
        throw ToolError("KWin refused the script that tells the pointer's position: "
            + (id.isValid() ? std::string("no id") : id.error().message().toStdString()));
    // KWin 5 puts a script at /<id>, KWin 6 at /Scripting/Script<id>.
    for (const QString& path : {QStringLiteral("/%1"), QStringLiteral("/Scripting/Script%1")}) {
        QDBusInterface script(
            kKWin, path.arg(id.value()), QStringLiteral("org.kde.kwin.Script"), QDBusConnection::sessionBus());
        if (script.call(QStringLiteral("run")).type() != QDBusMessage::ErrorMessage)
            return;
    }
    end();
    throw ToolError("KWin loaded the script that tells the pointer's position, but does not run it");
}

void KWinCursor::end()
{
    kwinScripting().call(QStringLiteral("unloadScript"), kScriptName);
}

} // namespace clickpath::platform::wayland
