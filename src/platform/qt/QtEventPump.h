#pragma once

#include "platform/EventPump.h"

#include <QTimer>

namespace clickpath::platform::qt {

// Pumps Qt's events once, waking after 10 ms at the latest.
class QtEventPump final : public EventPump {
public:
    QtEventPump();
    void pumpOnce() override;

private:
    QTimer wake_;
};

} // namespace clickpath::platform::qt
