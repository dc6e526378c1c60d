#include "playback/Player.h"

#include "app/ToolContext.h"
#include "platform/FileTable.h"
#include "platform/Pointer.h"
#include "platform/Clock.h"
#include "platform/ToolError.h"
#include "recording/RecordingFormat.h"
#include "settings/NumberText.h"

#include <cmath>

namespace clickpath::playback {

using app::LabelId;
using app::TextBoxId;
using app::TimerId;

std::int32_t Player::checkedAdd(std::int32_t a, std::int32_t b, const char* what)
{
    std::int32_t sum = 0;
    if (__builtin_add_overflow(a, b, &sum))
        throw ToolError(std::string("Overflow: ") + what);
    return sum;
}

Player::Player(app::ToolContext& tool)
    : tool_(tool)
{
}

void Player::Command3_Click()
{
    app::ToolState& state = tool_.state;
    state.recordFile = tool_.services.files.freeNumber();
    tool_.services.files.openForInput(state.recordFile, app::localPath(tool_.paths.workingRecordingPath()));
    state.stopFlag = 0;
    tool_.setCommandButtons(false);
    if (state.looping == app::kFalse) {
        state.loopCount = 0;
        tool_.controls.setLabelCaption(LabelId::Label3, QStringLiteral("0"));
    }
    tool_.controls.setLabelCaption(LabelId::Label6, QString());
    state.passCount = checkedAdd(state.passCount, 1, "pass count");
    tool_.controls.setTimerEnabled(TimerId::Timer2, true);
}

void Player::Timer2_Timer()
{
    app::ToolState& state = tool_.state;
    // A tick that falls due while a step is still inside a wait starts nothing.
    if (state.stepRunning || state.windowClosed)
        return;
    state.stepRunning = true;
    bool passEnds = false;
    try {
        passEnds = step();
    } catch (const std::exception&) {
        // Every error of a step, the end of the file included, ends the pass.
        passEnds = true;
    }
    if (passEnds && !state.windowClosed)
        endPass();
    state.stepRunning = false;
}

bool Player::step()
{
    app::ToolState& state = tool_.state;
    const recording::Record record = recording::readRecord(tool_.services.files, state.recordFile);
    state.recordX = record.x;
    state.recordY = record.y;
    state.recordButton = record.button;
    moveToRecordWithOffsets();
    if (state.stopFlag == 1)
        return true;
    if (state.recordButton == recording::kButtonDown && state.pressSent == 0)
        pressEdge();
    else if (state.recordButton == recording::kButtonUp && state.pressSent == 1)
        releaseEdge();
    return false;
}

void Player::moveToRecordWithOffsets()
{
    const app::ToolState& state = tool_.state;
    const std::int32_t x = checkedAdd(state.offsetX, state.recordX, "pointer position");
    const std::int32_t y = checkedAdd(state.recordY, state.offsetY, "pointer position");
    tool_.services.pointer.moveTo(x, y);
    tool_.showPointerCaption(x, y);
}

void Player::pressEdge()
{
    app::ToolState& state = tool_.state;
    state.offsetX = drawOffset(TextBoxId::Text4);
    state.offsetY = drawOffset(TextBoxId::Text3);
    moveToRecordWithOffsets();
    sendLeftButton(kLeftDown);
    state.pressSent = 1;
    tool_.controls.setLabelCaption(LabelId::Label6, QStringLiteral("Click!"));
    tool_.controls.repaintNow();
}

void Player::releaseEdge()
{
    app::ToolState& state = tool_.state;
    // The pointer stands at the release record plus the press's offsets.
    sendLeftButton(kLeftUp);
    state.pressSent = 0;
    tool_.controls.setLabelCaption(LabelId::Label6, QString());
    state.offsetX = 0;
    state.offsetY = 0;
    waitsAfterRelease();
}

std::int32_t Player::drawOffset(TextBoxId marginBox)
{
    const QString what = marginBox == TextBoxId::Text4 ? QStringLiteral("HM") : QStringLiteral("VM");
    const float margin = settings::toSingle(tool_.text(marginBox), what);
    const float bound = margin + margin;
    const double r = tool_.services.random.next();
    const long double drawn = std::floor(static_cast<long double>(r) * bound);
    const double marginFloor = std::floor(settings::toDouble(tool_.text(marginBox), what));
    return settings::toLong(static_cast<double>(drawn - marginFloor), what);
}

void Player::sendLeftButton(std::int32_t flags)
{
    tool_.services.injector.leftButton(flags == kLeftDown);
}

void Player::releaseHeldPress()
{
    app::ToolState& state = tool_.state;
    if (state.pressSent != 1)
        return;
    sendLeftButton(kLeftUp);
    state.pressSent = 0;
    state.offsetX = 0;
    state.offsetY = 0;
    if (!state.windowClosed)
        tool_.controls.setLabelCaption(LabelId::Label6, QString());
}

float Player::clockSeconds()
{
    return static_cast<float>(tool_.services.clock.seconds());
}

} // namespace clickpath::playback
