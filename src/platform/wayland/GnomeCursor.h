#pragma once

#include "platform/wayland/PushedCursor.h"

namespace clickpath::platform::wayland {

// GNOME Shell's cursor: clickpath's Shell extension (clickpath-cursor@clickpath,
// installed with the tool) reports each move to a caller of its Start() on
// the session bus, until Stop() or until the caller leaves the bus.
class GnomeCursor final : public PushedCursor {
public:
    // The position source when GNOME Shell runs on the session bus; null elsewhere.
    static std::unique_ptr<GnomeCursor> connect(Clock& clock);
    ~GnomeCursor() override;

private:
    explicit GnomeCursor(Clock& clock);
    void begin() override;
    void end() override;
};

} // namespace clickpath::platform::wayland
