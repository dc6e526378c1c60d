#pragma once

#include "app/ToolContext.h"
#include "exchange/RecordingExchange.h"
#include "playback/Player.h"
#include "recording/MouseWatcher.h"
#include "recording/Recorder.h"
#include "settings/Settings.h"

#include <cstdint>

namespace clickpath::app {

// The tool's one window as its handlers see it: every event of the window
// arrives here under its handler's name. An error that leaves a handler
// "reaches the toolkit": it is shown in a message and the tool goes on.
class Form1 {
public:
    Form1(Controls& controls, Services services, AppPaths paths);

    // Start-up; an error here means the tool cannot run and is thrown on.
    void Form_Load();
    // Shutdown, in this order; neither refuses the close.
    void Form_QueryUnload();
    void Form_Unload();

    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    // Validation of a box about to lose the focus; true cancels the move.
    bool Text1_Validate();
    bool Text2_Validate();
    bool Text3_Validate();
    bool Text4_Validate();
    bool Text5_Validate();
    void Timer1_Timer();
    void Timer2_Timer();
    void DXCallback(std::int32_t eventId);

    ToolContext& tool() { return tool_; }

private:
    bool validate(TextBoxId box);
    template <typename Handler>
    void handle(Handler&& handler);

    ToolContext tool_;
    playback::Player player_;
    recording::Recorder recorder_;
    recording::MouseWatcher watcher_;
    settings::Settings settings_;
    exchange::RecordingExchange exchange_;
};

} // namespace clickpath::app
