#include "platform/wayland/PushedCursor.h"

#include "core/ToolError.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QDBusVirtualObject>

#include <cmath>

namespace clickpath::platform::wayland {

const QString PushedCursor::kObjectPath = QStringLiteral("/clickpath/cursor");
const QString PushedCursor::kInterface = QStringLiteral("org.clickpath.Cursor");

// Takes the compositor's calls: moved(x, y), with JavaScript's numbers.
class PushedCursor::Receiver final : public QDBusVirtualObject {
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
        // The caller waits for an answer to every call; unanswered, each
        // would stay pending there until the bus's timeout.
        connection.send(message.createReply());
        return true;
    }

private:
    std::optional<ScreenPoint>& latest_;
};

bool PushedCursor::onSessionBus(const QString& service)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    return bus.isConnected() && bus.interface()->isServiceRegistered(service).value();
}

PushedCursor::PushedCursor(Clock& clock, QString service, QString who)
    : clock_(clock)
    , who_(std::move(who))
    , receiver_(std::make_unique<Receiver>(latest_))
    , compositorWatch_(std::make_unique<QDBusServiceWatcher>(
          service, QDBusConnection::sessionBus(), QDBusServiceWatcher::WatchForUnregistration))
{
    QObject::connect(
        compositorWatch_.get(), &QDBusServiceWatcher::serviceUnregistered, [this] { compositorGone_ = true; });
}

PushedCursor::~PushedCursor()
{
    QDBusConnection::sessionBus().unregisterObject(kObjectPath);
}

void PushedCursor::start()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    (latest_.reset(), compositorGone_ = false, startedAt_ = clock_.seconds());
    if (!bus.objectRegisteredAt(kObjectPath) && !bus.registerVirtualObject(kObjectPath, receiver_.get()))
        throw ToolError("Cannot take the pointer's position from " + who_.toStdString() + ": "
            + bus.lastError().message().toStdString());
    begin();
    begun_ = true;
}

std::optional<ScreenPoint> PushedCursor::position()
{
    if (compositorGone_)
        throw ToolError(who_.toStdString()
            + " has left the session bus, so it tells the pointer's position no more: the recording ends here, with "
              "every line written so far.");
    if (!latest_ && clock_.seconds() - startedAt_ > kFirstReportLimit)
        throw ToolError(who_.toStdString() + " told no position of the pointer within 5 s, so nothing was recorded.");
    return latest_;
}

void PushedCursor::stop()
{
    if (begun_)
        end();
    begun_ = false;
}

} // namespace clickpath::platform::wayland
