#pragma once

#include <QString>

#include <cstdint>

namespace clickpath::core {

// The five pacing numbers. Each lives as the text of its box and is read,
// and converted, at the moment it is used.
enum class SettingBox {
    SleepBound,       // "Sleep": upper bound of the random sleep between looped passes, s
    ClickWaitBound,   // "Click": upper bound of the random wait after each click, s
    VerticalMargin,   // "VM": bound of a click's random vertical offset, px
    HorizontalMargin, // "HM": bound of a click's random horizontal offset, px
    FirstPassWait,    // "1st.": fixed wait after each click of the first pass, s
};

inline constexpr SettingBox kSettingBoxes[] = {SettingBox::SleepBound, SettingBox::ClickWaitBound,
    SettingBox::VerticalMargin, SettingBox::HorizontalMargin, SettingBox::FirstPassWait};

// The labels that change while the tool runs.
enum class Label {
    PassCount,        // passes completed while looping
    ClickShown,       // "Click!" while the left button is held
    Countdown,        // whole seconds left of the running wait
    FirstPassCaption, // "1st.", highlighted during the first-pass wait
    ClickWaitCaption, // "Click", highlighted during the click wait
    SleepCaption,     // "Sleep", highlighted during the loop sleep
};

// The two ticks, every 10 ms while they run.
enum class Tick { Recording, Playback };

// A label's text colour: the theme's own, or the highlight of a running wait.
enum class TextColour { Normal, Highlight };

// The caption beside a box, as messages name it.
QString captionOf(SettingBox box);

// What recording, playback and the settings see of the program's face: the
// window implements it with widgets, the command line with a progress line.
class Controls {
public:
    virtual ~Controls() = default;
    virtual QString boxText(SettingBox box) const = 0;
    virtual void setBoxText(SettingBox box, const QString& text) = 0;
    virtual void setLabelText(Label label, const QString& text) = 0;
    virtual void setLabelColour(Label label, TextColour colour) = 0;
    // "LOOP": whether playback starts again after a pass.
    virtual bool loopChecked() const = 0;
    // Starts or stops a tick; starting a running one leaves its rhythm alone.
    virtual void setTickRunning(Tick tick, bool running) = 0;
    // "Rec", "Auto", "Save", "Load" and "SET", always together.
    virtual void setCommandButtonsEnabled(bool enabled) = 0;
    // Shows the pointer's position in the caption, painted at once.
    virtual void showPointerPosition(std::int32_t x, std::int32_t y) = 0;
    // Paints now what changed, while the caller still holds the thread.
    virtual void repaintNow() = 0;
};

} // namespace clickpath::core
