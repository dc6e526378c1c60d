#pragma once

#include "platform/wayland/PushedCursor.h"

#include <QTemporaryFile>

namespace clickpath::platform::wayland {

// KWin's cursor: a small script, loaded into KWin over D-Bus when a
// recording starts and unloaded when it ends, reports each move. It has one
// name for every run, so that a copy left by a run that was killed is
// unloaded at the next start.
class KWinCursor final : public PushedCursor {
public:
    // The position source when KWin runs on the session bus; null elsewhere.
    static std::unique_ptr<KWinCursor> connect(Clock& clock);
    ~KWinCursor() override;

private:
    explicit KWinCursor(Clock& clock);
    void begin() override;
    void end() override;

    QTemporaryFile script_;
};

} // namespace clickpath::platform::wayland
