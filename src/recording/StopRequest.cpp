#include "recording/StopRequest.h"

#include "app/ToolContext.h"
#include "platform/FileTable.h"

namespace clickpath::recording {

void stopRequest(app::ToolContext& tool)
{
    app::ToolState& state = tool.state;
    state.passCount = 0; // the next "Auto" is a first pass again
    state.looping = app::kFalse;
    state.stopFlag = 1;
    tool.controls.setTimerEnabled(app::TimerId::Timer1, false);
    // Playback is not stopped here: its next read fails on the closed file,
    // or its running wait sees stopFlag.
    tool.services.files.close(state.recordFile);
    tool.setCommandButtons(true);
}

} // namespace clickpath::recording
