#pragma once

#include <cstdint>

namespace clickpath::recording {

// The left button as the recording's lines show it. The watcher reports each
// press and release as it comes; the recorder takes one value per line.
class LeftButtonLatch {
public:
    void pressed();
    void released();
    // A new recording: the button counts as up, and nothing was seen.
    void reset();
    // The button value of the next line. A press seen since the last line
    // shows in it even when it was released meanwhile, so that a click
    // shorter than a tick is kept.
    std::int32_t takeLineValue();

private:
    bool down_ = false;
    bool pressSeen_ = false;
};

} // namespace clickpath::recording
