#pragma once

#include "app/Controls.h"

#include <cstdint>

namespace clickpath::app {
class ToolContext;
}

namespace clickpath::playback {

// Injected left-button flags.
constexpr std::int32_t kLeftDown = 2;
constexpr std::int32_t kLeftUp = 4;

enum class WaitEnd {
    TimeRanOut,
    Stopped,      // a stop request was seen; the caller ends at once
    WindowClosed, // the window closed meanwhile; touch no control
};

// How long a wait lasts: a fixed length, or the first-pass rule that reads
// the first-pass box afresh in every cycle.
struct WaitLength {
    bool firstPassRule = false;
    float seconds = 0;

    static WaitLength fixed(float seconds) { return {false, seconds}; }
    static WaitLength firstPass() { return {true, 0}; }
};

// Replays the working recording: one record per playback tick, clicks at
// random offsets inside the margins, pacing waits after each click, and the
// end of a pass with its loop restart.
class Player {
public:
    explicit Player(app::ToolContext& tool);

    // "Auto": starts a pass. Also the loop restart of endPass.
    void Command3_Click();
    // One playback step.
    void Timer2_Timer();

    // A random click offset drawn from a margin box: one of -M .. M-1 for a margin M.
    std::int32_t drawOffset(app::TextBoxId marginBox);
    void sendLeftButton(std::int32_t flags);
    // The polling wait of the three pacing waits, with countdown and stop check.
    WaitEnd runWait(app::LabelId label, float start, WaitLength length);
    // Releases an injected press that is still held, so no button stays down.
    void releaseHeldPress();

private:
    // True when the pass ends here; errors end it as well.
    bool step();
    void pressEdge();
    void releaseEdge();
    void waitsAfterRelease();
    void endPass();
    void loopRestart();
    // Moves the pointer to the current record plus the click offsets, and shows it.
    void moveToRecordWithOffsets();
    float clockSeconds();
    float randomLength(app::TextBoxId boundBox, const QString& what);
    float firstPassLength();
    // A 32-bit sum; overflowing it is an error of the handler.
    static std::int32_t checkedAdd(std::int32_t a, std::int32_t b, const char* what);

    app::ToolContext& tool_;
};

} // namespace clickpath::playback
