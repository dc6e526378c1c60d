#pragma once

#include "platform/Clock.h"
#include "platform/wayland/VirtualPointer.h"

#include <QString>
#include <QTemporaryFile>

#include <memory>

class QDBusServiceWatcher;

namespace clickpath::platform::wayland {

// The pointer's position from KWin, while a recording runs: a small script,
// loaded into KWin over D-Bus when the recording starts and unloaded when it
// ends, reports every move of KWin's cursor back to the tool, which keeps
// the latest. The script has one name for every run, so that a copy left by
// a run that was killed is unloaded at the next start.
class KWinCursor final : public CursorSource {
public:
    static constexpr double kFirstReportLimit = 5; // s

    // The position source when KWin runs on the session bus; null on other
    // compositors. `clock` times the first report.
    static std::unique_ptr<KWinCursor> connect(Clock& clock);
    ~KWinCursor() override;

    // Loads the script. Throws a ToolError when KWin refuses it.
    void start() override;
    // Throws a ToolError when the first report has not come within
    // kFirstReportLimit (a KWin without workspace.cursorPos), or KWin has
    // left the session bus (it restarted, or the session ends).
    std::optional<ScreenPoint> position() override;
    void stop() override;

private:
    class Receiver;
    explicit KWinCursor(Clock& clock);
    void unload();

    Clock& clock_;
    std::unique_ptr<Receiver> receiver_;
    std::unique_ptr<QDBusServiceWatcher> kwinWatch_;
    QTemporaryFile script_;
    bool loaded_ = false;
    bool kwinGone_ = false;
    double startedAt_ = 0;
    std::optional<ScreenPoint> latest_;
};

} // namespace clickpath::platform::wayland
