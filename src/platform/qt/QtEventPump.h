#pragma once

#include "platform/EventPump.h"

#include <QTimer>

namespace clickpath::platform::qt {

// Pumps Qt's events once, waking at the given time at the latest.
class QtEventPump final : public EventPump {
public:
    QtEventPump();
    void pumpOnce(double seconds) override;
    // How often any pump has pumped: a tick during which this changed has
    // waited on purpose.
    static unsigned long pumps() { return pumps_; }

private:
    QTimer wake_;
    static inline unsigned long pumps_ = 0;
};

} // namespace clickpath::platform::qt
