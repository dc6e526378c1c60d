#pragma once

#include "platform/Services.h"
#include "platform/qt/MonotonicClock.h"
#include "platform/qt/QtEventPump.h"
#include "platform/qt/SeededRandom.h"
#include "platform/x11/X11Pointer.h"

namespace clickpath::platform {

// The desktop of an X11 session, built in one place for both programs: the
// pointer and the buttons through XTEST and XInput2, Qt's clock and events.
class RealDesktop {
public:
    // Throws a ToolError when there is no display or it lacks XTEST.
    explicit RealDesktop(MessageSink& messages);

    Services services();

private:
    MessageSink& messages_;
    x11::X11Pointer pointer_;
    qt::MonotonicClock clock_;
    qt::SeededRandom random_;
    qt::QtEventPump pump_;
};

} // namespace clickpath::platform
