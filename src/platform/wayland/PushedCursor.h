#pragma once

#include "platform/Clock.h"
#include "platform/wayland/VirtualPointer.h"

#include <QString>

#include <memory>

class QDBusServiceWatcher;

namespace clickpath::platform::wayland {

// The pointer's position from a compositor that pushes each move of its
// cursor while a recording runs: a script or an extension inside it calls
// moved(x, y) on the tool's object (kObjectPath, interface kInterface) on
// the session bus, and the latest is kept.
class PushedCursor : public CursorSource {
public:
    static constexpr double kFirstReportLimit = 5; // s
    static const QString kObjectPath;
    static const QString kInterface;

    ~PushedCursor() override;

    // Begins the reports. Throws a ToolError when the compositor refuses.
    void start() final;
    // Throws a ToolError when the first report has not come within
    // kFirstReportLimit, or the compositor has left the session bus (it
    // restarted, or the session ends).
    std::optional<ScreenPoint> position() final;
    void stop() final;

protected:
    // Whether the compositor's service is on the session bus, where it can report.
    static bool onSessionBus(const QString& service);
    // `service`: the compositor's name on the session bus; `who` names it in messages.
    PushedCursor(Clock& clock, QString service, QString who);
    // What makes the compositor report, and what ends it; begin() throws a
    // ToolError that says why it cannot, end() never throws.
    virtual void begin() = 0;
    virtual void end() = 0;

private:
    class Receiver;

    Clock& clock_;
    QString who_;
    std::unique_ptr<Receiver> receiver_;
    std::unique_ptr<QDBusServiceWatcher> compositorWatch_;
    bool begun_ = false;
    bool compositorGone_ = false;
    double startedAt_ = 0;
    std::optional<ScreenPoint> latest_;
};

} // namespace clickpath::platform::wayland
