#pragma once

namespace clickpath::app {
class ToolContext;
}

namespace clickpath::recording {

// "Rec": one line per tick of the recording timer, with the pointer's
// position and the left button's state, until the stop request.
class Recorder {
public:
    explicit Recorder(app::ToolContext& tool);

    void Command1_Click();
    void Timer1_Timer();

private:
    // Ends a recording that cannot go on, keeping every line written so far.
    void abandon();

    app::ToolContext& tool_;
};

} // namespace clickpath::recording
