#pragma once

#include "core/PacingNumbers.h"
#include "platform/Ticker.h"

#include <QString>

#include <cstdint>

namespace clickpath::app {

// The labels that change while the tool runs.
enum class Label {
    PassCount,        // passes completed while looping
    ClickShown,       // "Click!" while the left button is held
    Countdown,        // whole seconds left of the running wait
    FirstPassCaption, // "1st.", highlighted during the first-pass wait
    ClickWaitCaption, // "Click", highlighted during the click wait
    SleepCaption,     // "Sleep", highlighted during the loop sleep
};

// The window's two timers, every tick interval while they run.
enum class Tick { Recording, Playback };

// A label's text colour: the theme's own, or the highlight of a running wait.
enum class TextColour { Normal, Highlight };

// The window's controls as its handlers drive them: the widgets in the
// program, plain fields in the tests.
class WindowControls : public core::SettingBoxes {
public:
    virtual void setLabelText(Label label, const QString& text) = 0;
    virtual void setLabelColour(Label label, TextColour colour) = 0;
    // "LOOP": whether playback starts again after a pass.
    virtual bool loopChecked() const = 0;
    virtual platform::Ticker& timer(Tick tick) = 0;
    // "Rec", "Auto", "Save", "Load" and "SET", always together.
    virtual void setCommandButtonsEnabled(bool enabled) = 0;
    // Shows the pointer's position in the caption, painted at once.
    virtual void showPointerPosition(std::int32_t x, std::int32_t y) = 0;
    // Shows in the caption, in its place, what the tool waits for.
    virtual void showStatus(const QString& text) = 0;
    // Paints now what changed, while the caller still holds the thread.
    virtual void repaintNow() = 0;
};

} // namespace clickpath::app
