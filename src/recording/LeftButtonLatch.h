#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>

namespace clickpath::recording {

// The left button as the recording's lines show it. The watcher reports each
// press and release as it comes; the recorder takes one value per line.
// Every press starts a run of 128 lines of its own, and every release ends
// it with a 0 line, even when several come between two lines: a click
// shorter than a tick is one 128 line, and a double-click two runs, their
// lines coming a tick or two later.
class LeftButtonLatch {
public:
    void pressed();
    void released();
    // A new recording: the button counts as up, and nothing was seen.
    void start();
    // No line is taken until the next start, so no edge is kept: hours of
    // replayed clicks between two recordings cost nothing.
    void stop();
    // Line values the edges seen still call for; none while stopped.
    std::size_t owedLines() const { return owed_.size(); }
    // The button value of the next line: 128 or 0.
    std::int32_t takeLineValue();

private:
    // The value the lines end on once every owed one is taken.
    std::int32_t planned() const;

    std::deque<std::int32_t> owed_; // line values the edges seen still call for
    std::int32_t shown_ = 0;        // the value of the last line
    bool started_ = false;
};

} // namespace clickpath::recording
