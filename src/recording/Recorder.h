#pragma once

#include "core/RecordingFormat.h"
#include "platform/Clock.h"
#include "platform/Pointer.h"
#include "platform/Ticker.h"
#include "recording/LeftButtonLatch.h"
#include "recording/RecordingObserver.h"

#include <QString>

#include <memory>

namespace clickpath::recording {

// "Rec": one line per tick with the pointer's position and the left button's
// state, until it is stopped. Two states: idle, or recording into an open file.
//
// Time in a recording is its count of lines. A tick made late by a stall of
// the machine writes the lines the stall owes, with the position and the
// button of its moment, for stalls of up to kLongestStallMadeUp; of a longer
// one, that much is kept.
class Recorder {
public:
    static constexpr double kLongestStallMadeUp = 5; // s

    Recorder(platform::Pointer& pointer, platform::Clock& clock, platform::Ticker& ticker, RecordingObserver& observer,
        QString path);

    // Starts a new recording, replacing the file's content. Throws when the
    // desktop never tells the pointer's position (nothing has changed then)
    // or the file cannot be written (nothing runs then).
    void start();
    // The ticker's call: appends the lines due by now, one on time. A line
    // that cannot be written ends the recording, keeping every whole line
    // before it, and throws.
    void tick();
    // Ends a recording; every line written stays. Nothing when none runs.
    void stop();
    // The left button, as the mouse watcher reports it.
    void leftButton(bool pressed) { pressed ? latch_.pressed() : latch_.released(); }
    bool recording() const { return writer_ != nullptr; }

private:
    std::int64_t linesOwed();

    platform::Pointer& pointer_;
    platform::Clock& clock_;
    platform::Ticker& ticker_;
    RecordingObserver& observer_;
    QString path_;
    LeftButtonLatch latch_;
    std::unique_ptr<core::RecordingWriter> writer_;
    platform::ScreenPoint cursor_;  // the last position the pointer could tell
    std::int64_t linesWritten_ = 0; // by this recording
    double startedAt_ = 0;          // line n is due n ticks after it
};

} // namespace clickpath::recording
