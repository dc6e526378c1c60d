#include "recording/Recorder.h"

#include "app/ToolContext.h"
#include "platform/FileTable.h"
#include "platform/Pointer.h"
#include "recording/RecordingFormat.h"

namespace clickpath::recording {

using app::LabelId;
using app::TimerId;

Recorder::Recorder(app::ToolContext& tool)
    : tool_(tool)
{
}

void Recorder::Command1_Click()
{
    app::ToolState& state = tool_.state;
    tool_.controls.setTimerEnabled(TimerId::Timer1, true);
    tool_.setCommandButtons(false);
    tool_.controls.setLabelCaption(LabelId::Label6, QString());
    state.leftButton = kButtonUp;
    state.leftPressSeen = 0;
    state.looping = app::kFalse;
    tool_.controls.setLabelCaption(LabelId::Label3, QString());
    try {
        state.recordFile = tool_.services.files.freeNumber();
        tool_.services.files.openForOutput(state.recordFile, app::localPath(tool_.paths.workingRecordingPath()));
    } catch (const std::exception&) {
        // No timer may run without an open file.
        tool_.controls.setTimerEnabled(TimerId::Timer1, false);
        tool_.setCommandButtons(true);
        throw;
    }
}

void Recorder::Timer1_Timer()
{
    app::ToolState& state = tool_.state;
    // A failed query keeps the last position, as the line then shows.
    if (const auto at = tool_.services.pointer.position()) {
        state.cursorX = at->x;
        state.cursorY = at->y;
    }
    tool_.showPointerCaption(state.cursorX, state.cursorY);
    const std::int32_t button = state.leftPressSeen ? kButtonDown : state.leftButton;
    state.leftPressSeen = 0;
    try {
        tool_.services.files.write(state.recordFile, formatRecordLine(state.cursorX, state.cursorY, button));
    } catch (const std::exception&) {
        abandon();
        throw;
    }
}

void Recorder::abandon()
{
    tool_.controls.setTimerEnabled(TimerId::Timer1, false);
    tool_.services.files.close(tool_.state.recordFile);
    tool_.setCommandButtons(true);
}

} // namespace clickpath::recording
