#pragma once

#include "platform/ButtonInjector.h"
#include "platform/Clock.h"
#include "platform/EventPump.h"
#include "platform/MessageSink.h"
#include "platform/MouseButtonSource.h"
#include "platform/Pointer.h"
#include "platform/RandomSource.h"

#include <functional>
#include <memory>

namespace clickpath::platform {

// Everything of the desktop that recording and playback use. The real
// desktop builds it in RealDesktop, the tests in their fake desktop.
struct Services {
    Pointer& pointer;
    ButtonInjector& injector;
    Clock& clock;
    RandomSource& random;
    EventPump& pump;
    MessageSink& messages;
    // Opens the system mouse's buttons; throws a ToolError when they cannot be had.
    std::function<std::unique_ptr<MouseButtonSource>()> openMouse;
};

} // namespace clickpath::platform
