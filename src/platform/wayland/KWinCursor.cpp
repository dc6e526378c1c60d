#include "platform/wayland/KWinCursor.h"

#include "platform/ToolError.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDBusServiceWatcher>
#include <QDBusVirtualObject>

#include <cmath>

namespace clickpath::platform::wayland {

namespace {

const QString kKWin = QStringLiteral("org.kde.KWin");
const QString kObjectPath = QStringLiteral("/clickpath/cursor");
const QString kInterface = QStringLiteral("org.clickpath.Cursor");
const QString kScriptName = QStringLiteral("clickpath-cursor");

QDBusInterface kwinScripting(const QDBusConnection& bus)
{
    return QDBusInterface(kKWin, QStringLiteral("/Scripting"), QStringLiteral("org.kde.kwin.Scripting"), bus);
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
        .arg(service, kObjectPath, kInterface)
        .toUtf8();
}

} // namespace

// Takes the script's calls: moved(x, y), with JavaScript's numbers.
class KWinCursor::Receiver final : public QDBusVirtualObject {
public:
    explicit Receiver(std::optional<ScreenPoint>& latest)
        : latest_(latest)
    {
    }
    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override
    {
        const QVariantList arguments = message.arguments();
        if (message.member() != QLatin1String("moved") || arguments.size() != 2)
            return false;
        const auto pixel
            = [](const QVariant& value) { return static_cast<std::int32_t>(std::lround(value.toDouble())); };
        latest_ = ScreenPoint{pixel(arguments[0]), pixel(arguments[1])};
        // KWin waits for an answer to every call; unanswered, each would
        // stay pending in KWin until the bus's timeout.
        connection.send(message.createReply());
        return true;
    }

private:
    std::optional<ScreenPoint>& latest_;
};

std::unique_ptr<KWinCursor> KWinCursor::connect(Clock& clock)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface()->isServiceRegistered(kKWin).value())
        return nullptr;
    return std::unique_ptr<KWinCursor>(new KWinCursor(clock));
}

KWinCursor::KWinCursor(Clock& clock)
    : clock_(clock)
    , receiver_(std::make_unique<Receiver>(latest_))
    , kwinWatch_(std::make_unique<QDBusServiceWatcher>(
          kKWin, QDBusConnection::sessionBus(), QDBusServiceWatcher::WatchForUnregistration))
{
    QObject::connect(kwinWatch_.get(), &QDBusServiceWatcher::serviceUnregistered, [this] { kwinGone_ = true; });
}

void KWinCursor::start()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    latest_.reset();
    kwinGone_ = false;
    startedAt_ = clock_.seconds();
    if (!bus.objectRegisteredAt(kObjectPath) && !bus.registerVirtualObject(kObjectPath, receiver_.get()))
        throw ToolError("Cannot take the pointer's position from KWin: " + bus.lastError().message().toStdString());
    if (!script_.isOpen() && (!script_.open() || script_.write(scriptFor(bus.baseService())) < 0 || !script_.flush()))
        throw ToolError("Cannot write KWin's script to " + script_.fileName().toStdString());
    QDBusInterface scripting = kwinScripting(bus);
    scripting.call(QStringLiteral("unloadScript"), kScriptName); // a copy left by a run that was killed
    const QDBusReply<int> id = scripting.call(QStringLiteral("loadScript"), script_.fileName(), kScriptName);
    if (!id.isValid() || id.value() < 0)
        throw ToolError("KWin refused the script that tells the pointer's position: "
            + (id.isValid() ? std::string("no id") : id.error().message().toStdString()));
    loaded_ = true;
    // KWin 5 puts a script at /<id>, KWin 6 at /Scripting/Script<id>.
    for (const QString& path : {QStringLiteral("/%1"), QStringLiteral("/Scripting/Script%1")}) {
        QDBusInterface script(kKWin, path.arg(id.value()), QStringLiteral("org.kde.kwin.Script"), bus);
        if (script.call(QStringLiteral("run")).type() != QDBusMessage::ErrorMessage)
            return;
    }
    unload();
    throw ToolError("KWin loaded the script that tells the pointer's position, but does not run it");
}

std::optional<ScreenPoint> KWinCursor::position()
{
    if (kwinGone_)
        throw ToolError("KWin has left the session bus, so it tells the pointer's position no more: the recording "
                        "ends here, with every line written so far.");
    if (!latest_ && clock_.seconds() - startedAt_ > kFirstReportLimit)
        throw ToolError("KWin's script told no position of the pointer within 5 s (a KWin without "
                        "workspace.cursorPos?), so nothing was recorded.");
    return latest_;
}

void KWinCursor::stop()
{
    if (loaded_)
        unload();
}

void KWinCursor::unload()
{
    kwinScripting(QDBusConnection::sessionBus()).call(QStringLiteral("unloadScript"), kScriptName);
    loaded_ = false;
}

KWinCursor::~KWinCursor()
{
    stop();
    QDBusConnection::sessionBus().unregisterObject(kObjectPath);
}

} // namespace clickpath::platform::wayland
