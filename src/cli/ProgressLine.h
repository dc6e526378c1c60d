#pragma once

#include <QString>

#include <cstdint>

namespace clickpath::cli {

// Where a playback stands: the pass, its line of all, and a running wait.
struct PlayProgress {
    std::int32_t pass = 0;
    std::int64_t line = 0;
    std::int64_t lines = 0;
    QString wait;      // "first-pass wait", "click wait", "sleep", or empty
    QString countdown; // whole seconds left of it
};

// Where a recording stands.
struct RecordProgress {
    double seconds = 0;
    std::int64_t lines = 0;
    std::int32_t x = 0;
    std::int32_t y = 0;
    bool held = false; // the left button
};

// Each line fits `width` columns with the last one free, so that a terminal
// never wraps it: the bar gets shorter, then words and fields go, the least
// telling first, and at last the line is cut.
// "pass 2  line 1500/3000 [##########..........]  click wait 4 s"
QString playLine(const PlayProgress& progress, int width);
// "1:05.2  6520 lines  X:640 Y:480  Click!"
QString recordLine(const RecordProgress& progress, int width);
// "starting in 3 s"
QString delayLine(int secondsLeft, int width);

} // namespace clickpath::cli
