#pragma once

#include "platform/ButtonInjector.h"
#include "platform/Clock.h"
#include "platform/MessageSink.h"
#include "platform/MouseButtonSource.h"
#include "platform/Pointer.h"
#include "platform/RandomSource.h"
#include "platform/SessionWatch.h"
#include "platform/Ticker.h"

#include <chrono>
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
    MessageSink& messages;
    SessionWatch& session;
    // A ticker of the given interval on the desktop's event loop.
    std::function<std::unique_ptr<Ticker>(std::chrono::nanoseconds interval)> makeTicker;
    // Opens the system mouse's buttons; throws a ToolError when they cannot be had.
    std::function<std::unique_ptr<MouseButtonSource>()> openMouse;
};

} // namespace clickpath::platform
