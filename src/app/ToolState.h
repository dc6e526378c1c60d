#pragma once

#include "platform/MouseButtonSource.h"

#include <cstdint>
#include <memory>

namespace clickpath::app {

// VB-style booleans of the state record: -1 is true.
constexpr std::int16_t kTrue = -1;
constexpr std::int16_t kFalse = 0;

// The window's one state record, shared by every handler; created zeroed with
// the window. Handlers keep nothing between events anywhere else.
struct ToolState {
    std::int32_t recordFile = 0;   // number the working recording is open under
    std::int32_t recordX = 0;      // record just replayed
    std::int32_t recordY = 0;
    std::int32_t recordButton = 0;
    std::int32_t pressSent = 0;    // 1 while an injected press is not released
    std::int32_t cursorX = 0;      // pointer sampled by the recording tick
    std::int32_t cursorY = 0;
    std::int32_t leftButton = 0;   // last left-button state seen: 128 or 0
    std::int32_t leftPressSeen = 0; // 1 when a press came since the last recording tick
    std::int32_t stopFlag = 0;
    std::int32_t loopCount = 0;
    std::int16_t looping = kFalse;
    std::int32_t passCount = 0;
    std::int32_t offsetX = 0;      // click offset of the held replayed press
    std::int32_t offsetY = 0;

    // The mouse button watcher: the device (a dedicated connection to the
    // display server with its button selection) and the notification id.
    std::unique_ptr<platform::MouseButtonSource> mouseDevice;
    std::int32_t mouseEvent = 0;

    bool stepRunning = false;      // a playback step holds the thread (inside a wait)
    bool windowClosed = false;     // the window closed while a wait pumped events
};

} // namespace clickpath::app
