// The end of a pass: close it, and with "LOOP" checked count it, sleep a
// random time and start the next one.
#include "playback/Player.h"

#include "app/ToolContext.h"
#include "platform/FileTable.h"
#include "platform/MessageSink.h"
#include "settings/NumberText.h"

namespace clickpath::playback {

using app::LabelId;
using app::TextBoxId;
using app::TimerId;

void Player::endPass()
{
    app::ToolState& state = tool_.state;
    tool_.services.files.close(state.recordFile);
    tool_.controls.setTimerEnabled(TimerId::Timer2, false);
    tool_.setCommandButtons(true);
    try {
        if (tool_.controls.checkValue() == 1 && state.stopFlag == 0)
            loopRestart();
        else
            releaseHeldPress();
    } catch (const std::exception& error) {
        // A restart that cannot go on leaves the window idle and says why.
        tool_.controls.setLabelColour(LabelId::Label8, app::kBlack);
        tool_.setCommandButtons(true);
        try {
            releaseHeldPress();
        } catch (const std::exception&) {
            // The error shown below is the one that matters to the user.
        }
        tool_.services.messages.showError(QString::fromStdString(error.what()));
    }
}

void Player::loopRestart()
{
    app::ToolState& state = tool_.state;
    state.looping = app::kTrue;
    state.loopCount = checkedAdd(state.loopCount, 1, "loop count");
    tool_.controls.setLabelCaption(LabelId::Label3, QString::number(state.loopCount));
    if (settings::toLong(tool_.text(TextBoxId::Text1), QStringLiteral("Sleep")) > 0) {
        tool_.setCommandButtons(false);
        const float length = randomLength(TextBoxId::Text1, QStringLiteral("Sleep"));
        const float start = clockSeconds();
        tool_.controls.setLabelColour(LabelId::Label8, app::kHighlightColour);
        if (runWait(LabelId::Label8, start, WaitLength::fixed(length)) != WaitEnd::TimeRanOut) {
            if (!state.windowClosed)
                releaseHeldPress();
            return;
        }
    }
    // A stop that came in the sleep's last pumping is not lost.
    if (state.stopFlag != 0) {
        releaseHeldPress();
        tool_.setCommandButtons(true);
        return;
    }
    Command3_Click();
}

} // namespace clickpath::playback
