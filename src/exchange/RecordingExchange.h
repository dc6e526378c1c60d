#pragma once

namespace clickpath::app {
class ToolContext;
}

namespace clickpath::exchange {

// "Save" and "Load": whole-file copies between the working recording and a
// file chosen in the standard dialogs. Recordings are never parsed here.
class RecordingExchange {
public:
    explicit RecordingExchange(app::ToolContext& tool);

    void Command2_Click(); // "Save"
    void Command4_Click(); // "Load"

    static const char* const kFilter;

private:
    enum class Direction { ToChosenFile, FromChosenFile };
    void exchange(Direction direction);

    app::ToolContext& tool_;
};

} // namespace clickpath::exchange
