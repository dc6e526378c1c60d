// The pacing waits after a replayed click, and the polling wait they share
// with the loop sleep.
#include "playback/Player.h"

#include "core/NumberText.h"

#include <cmath>

namespace clickpath::playback {

using core::Label;
using core::SettingBox;
using core::TextColour;

Player::WaitEnd Player::waitsAfterRelease()
{
    if (passCount_ == 1) {
        const float start = clockSeconds();
        controls_.setLabelColour(Label::FirstPassCaption, TextColour::Highlight);
        const WaitEnd end = runWait(Label::FirstPassCaption, start, {.firstPassRule = true});
        if (end != WaitEnd::TimeRanOut)
            return end;
    }
    const float length = randomLength(SettingBox::ClickWaitBound);
    const float start = clockSeconds();
    controls_.setLabelColour(Label::ClickWaitCaption, TextColour::Highlight);
    return runWait(Label::ClickWaitCaption, start, {.seconds = length});
}

// floor(r x bound) whole seconds, r drawn from [0, 1).
float Player::randomLength(SettingBox bound)
{
    const float v = core::toSingle(controls_.boxText(bound), core::captionOf(bound));
    const double r = services_.random.next();
    return static_cast<float>(std::floor(static_cast<long double>(r) * v));
}

float Player::lengthOf(WaitLength length)
{
    if (!length.firstPassRule)
        return length.seconds;
    const SettingBox box = SettingBox::FirstPassWait;
    return static_cast<float>(core::toInteger(controls_.boxText(box), core::captionOf(box)));
}

float Player::clockSeconds()
{
    return static_cast<float>(services_.clock.seconds());
}

Player::WaitEnd Player::runWait(Label label, float start, WaitLength length)
{
    for (;;) {
        const float cycleLength = lengthOf(length);
        const float now = clockSeconds();
        const float end = start + cycleLength;
        if (!(end >= now)) { // also ends a wait whose times do not compare
            controls_.setLabelColour(label, TextColour::Normal);
            return WaitEnd::TimeRanOut;
        }
        const float countdownLength = lengthOf(length);
        const float now2 = clockSeconds();
        const std::int16_t remaining
            = core::toInteger(static_cast<double>(start) + countdownLength - now2, QStringLiteral("Countdown"));
        controls_.setLabelText(Label::Countdown, QString::number(remaining));
        if (stopFlag_) {
            controls_.setLabelText(Label::Countdown, QString());
            controls_.setCommandButtonsEnabled(true);
            controls_.setLabelColour(label, TextColour::Normal);
            return WaitEnd::Stopped;
        }
        // Blocks for at most 10 ms when nothing is pending: no busy poll, and
        // a stop or an edit is still seen within one cycle.
        services_.pump.pumpOnce();
        if (closed_)
            return WaitEnd::Closed;
    }
}

} // namespace clickpath::playback
