// The end of a pass: close it, and with "LOOP" checked count it, sleep a
// random time and start the next one.
#include "playback/Player.h"

#include "core/NumberText.h"

namespace clickpath::playback {

using core::Label;
using core::SettingBox;
using core::TextColour;

void Player::endPass(StepEnd why)
{
    reader_.reset();
    controls_.setTickRunning(core::Tick::Playback, false);
    controls_.setCommandButtonsEnabled(true);
    try {
        if (why == StepEnd::PassEnds && controls_.loopChecked() && !stopFlag_)
            loopRestart();
        else
            releaseHeldPress();
    } catch (const std::exception& error) {
        // A restart that cannot go on leaves the tool idle and says why.
        controls_.setLabelColour(Label::SleepCaption, TextColour::Normal);
        controls_.setCommandButtonsEnabled(true);
        try {
            releaseHeldPress();
        } catch (const std::exception&) {
            // The error shown below is the one that matters to the user.
        }
        services_.messages.showError(QString::fromStdString(error.what()));
    }
}

void Player::loopRestart()
{
    looping_ = true;
    loopCount_ = core::checkedSum(loopCount_, 1, "loop count");
    controls_.setLabelText(Label::PassCount, QString::number(loopCount_));
    const SettingBox bound = SettingBox::SleepBound;
    if (core::toLong(controls_.boxText(bound), core::captionOf(bound)) > 0) {
        controls_.setCommandButtonsEnabled(false);
        const float length = randomLength(bound);
        const float start = clockSeconds();
        controls_.setLabelColour(Label::SleepCaption, TextColour::Highlight);
        const WaitEnd end = runWait(Label::SleepCaption, start, {.seconds = length});
        if (end == WaitEnd::Closed)
            return;
        if (end == WaitEnd::Stopped) {
            releaseHeldPress();
            return;
        }
    }
    // A stop that came in the sleep's last pumping is not lost.
    if (stopFlag_) {
        releaseHeldPress();
        controls_.setCommandButtonsEnabled(true);
        return;
    }
    startPass();
}

} // namespace clickpath::playback
