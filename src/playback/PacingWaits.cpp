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

namespace {

// How long a wait may sleep before what it shows changes: the countdown's
// next number, or the end. Just past that moment, so that the change is
// there when it wakes.
double untilNextChange(float start, float length, float now, std::int16_t shown)
{
    constexpr double kPast = 0.001;
    const double end = static_cast<double>(start) + length;
    const double nextNumber = end - shown + 0.5;
    return std::max(0.0, std::min(nextNumber, end) - now + kPast);
}

} // namespace

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
        // Everything else that ends or changes the wait is an event: a stop,
        // an edit of a box, a close.
        services_.pump.pumpOnce(untilNextChange(start, countdownLength, now2, remaining));
        if (closed_)
            return WaitEnd::Closed;
    }
}

} // namespace clickpath::playback
