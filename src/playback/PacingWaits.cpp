// The pacing waits after a replayed click, and the polling wait they share
// with the loop sleep.
#include "playback/Player.h"

#include "app/ToolContext.h"
#include "platform/Clock.h"
#include "settings/NumberText.h"

#include <cmath>

namespace clickpath::playback {

using app::LabelId;
using app::TextBoxId;

void Player::waitsAfterRelease()
{
    if (tool_.state.passCount == 1) {
        const float start = clockSeconds();
        tool_.controls.setLabelColour(LabelId::Label14, app::kHighlightColour);
        if (runWait(LabelId::Label14, start, WaitLength::firstPass()) != WaitEnd::TimeRanOut)
            return;
    }
    const float length = randomLength(TextBoxId::Text2, QStringLiteral("Click"));
    const float start = clockSeconds();
    tool_.controls.setLabelColour(LabelId::Label11, app::kHighlightColour);
    runWait(LabelId::Label11, start, WaitLength::fixed(length));
}

float Player::randomLength(TextBoxId boundBox, const QString& what)
{
    const float bound = settings::toSingle(tool_.text(boundBox), what);
    const double r = tool_.services.random.next();
    return static_cast<float>(std::floor(static_cast<long double>(r) * bound));
}

float Player::firstPassLength()
{
    return static_cast<float>(settings::toInteger(tool_.text(TextBoxId::Text5), QStringLiteral("1st.")));
}

WaitEnd Player::runWait(LabelId label, float start, WaitLength length)
{
    for (;;) {
        const float cycleLength = length.firstPassRule ? firstPassLength() : length.seconds;
        const float now = clockSeconds();
        const float end = start + cycleLength;
        if (!(end >= now)) { // also ends a wait whose times do not compare
            tool_.controls.setLabelColour(label, app::kBlack);
            return WaitEnd::TimeRanOut;
        }
        const float countdownLength = length.firstPassRule ? firstPassLength() : length.seconds;
        const float now2 = clockSeconds();
        const std::int16_t remaining = settings::toInteger(
            static_cast<double>(start) + countdownLength - now2, QStringLiteral("Countdown"));
        tool_.controls.setLabelCaption(LabelId::Label9, QString::number(remaining));
        if (tool_.state.stopFlag == 1) {
            tool_.controls.setLabelCaption(LabelId::Label9, QString());
            tool_.setCommandButtons(true);
            tool_.controls.setLabelColour(label, app::kBlack);
            return WaitEnd::Stopped;
        }
        // Blocks for at most 10 ms when nothing is pending: no busy poll, and
        // a stop or an edit is still seen within one cycle.
        tool_.services.pump.pumpOnce();
        if (tool_.state.windowClosed)
            return WaitEnd::WindowClosed;
    }
}

} // namespace clickpath::playback
