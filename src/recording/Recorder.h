#pragma once

#include "core/RecordingFormat.h"
#include "platform/Services.h"
#include "platform/Ticker.h"
#include "platform/posix/SequentialFile.h"
#include "recording/LeftButtonLatch.h"
#include "recording/RecordingObserver.h"

#include <QString>

#include <memory>
#include <vector>

namespace clickpath::recording {

// "Rec": one line per tick with the pointer's position and the left button's
// state, until it is stopped. Three states: idle; awaiting the desktop's first
// position (the file is left as it was until it comes, within 5 s); recording
// into an open file.
//
// Time in a recording is its count of lines. A tick made late by a stall of
// the machine writes the lines the stall owes, with the position and the
// button of its moment, for stalls of up to kLongestStallMadeUp; of a longer
// one, that much is kept.
class Recorder {
public:
    static constexpr double kLongestStallMadeUp = 5; // s
    static constexpr double kFirstPositionLimit = 5; // s

    Recorder(const platform::Services& services, platform::Ticker& ticker, RecordingObserver& observer, QString path);

    // Starts a new recording, which replaces the file's content once the
    // desktop tells the first position. Throws when the session is not the
    // active one or the desktop never tells a position (nothing has changed
    // then), or it did at once and the file cannot be written (nothing runs
    // then).
    void start();
    // The ticker's call: a look for the first position, or the lines due by
    // now, one on time. A first position that does not come, a desktop that
    // stops telling positions and a line that cannot be written end the
    // recording, keeping every whole line before, and throw.
    void tick();
    // Ends a recording; every line written stays. Nothing when none runs;
    // whether one ran.
    bool stop();
    // The left button, as the mouse watcher reports it.
    void leftButton(bool pressed) { pressed ? latch_.pressed() : latch_.released(); }
    // Awaiting the first position, or recording.
    bool recording() const { return state_ != State::Idle; }

private:
    enum class State { Idle, Awaiting, Recording };

    void lookForFirstPosition();
    void writeLines();
    std::int64_t linesOwed();
    void end();

    platform::Pointer& pointer_;
    platform::Clock& clock_;
    platform::SessionWatch& session_;
    platform::Ticker& ticker_;
    RecordingObserver& observer_;
    QString path_;
    State state_ = State::Idle;
    double awaitingSince_ = 0;
    LeftButtonLatch latch_;
    std::unique_ptr<platform::RecordingFileWriter> writer_;
    platform::ScreenPoint cursor_;    // the last position the pointer could tell
    std::int64_t linesWritten_ = 0;   // by this recording
    double startedAt_ = 0;            // line n is due n ticks after it
    std::vector<core::Record> lines_; // those of a tick, kept for the next
};

} // namespace clickpath::recording
