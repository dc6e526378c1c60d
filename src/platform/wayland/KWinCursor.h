#pragma once

#include "platform/wayland/VirtualPointer.h"

#include <QString>
#include <QTemporaryFile>

#include <memory>

namespace clickpath::platform::wayland {

// The pointer's position from KWin: a small script loaded into KWin over
// D-Bus reports every move of its cursor back to the tool, which keeps the
// latest. The script is unloaded when this object goes.
class KWinCursor final : public CursorSource {
public:
    // The position source when KWin runs on the session bus; null on other
    // compositors. Throws a ToolError when KWin refuses the script.
    static std::unique_ptr<CursorSource> connect();
    ~KWinCursor() override;

    std::optional<ScreenPoint> position() override { return latest_; }

private:
    class Receiver;
    KWinCursor();
    void load();
    void awaitFirstReport();

    std::unique_ptr<Receiver> receiver_;
    QTemporaryFile script_;
    QString pluginName_;
    bool loaded_ = false;
    std::optional<ScreenPoint> latest_;
};

} // namespace clickpath::platform::wayland
