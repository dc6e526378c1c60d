#pragma once

#include "core/PacingNumbers.h"
#include "core/RecordingFormat.h"
#include "platform/Services.h"
#include "platform/posix/SequentialFile.h"
#include "playback/PassPolicy.h"
#include "playback/PlaybackObserver.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <optional>

namespace clickpath::playback {

// Replays a recording: one record per tick, each click at a random offset
// inside the margins and followed by the pacing waits; at the end of a pass,
// as the pass policy says, a random sleep and the next pass.
//
// A state machine driven by its ticker: ticks while it steps, one wake-up
// per change of a running pause's countdown. Nothing of it ever waits, so a
// stop, an edit or a close is handled between two of its calls.
class Player {
public:
    Player(core::SettingBoxes& boxes, const platform::Services& services, platform::Ticker& ticker,
        PlaybackObserver& observer, PassPolicy policy, QString path);

    // "Auto", and the start of every looped pass: opens the recording afresh.
    // Throws when it cannot be read; nothing else has changed then.
    void startPass();
    // The ticker's call: the next step, or a look at the running pause.
    void tick();
    // A box changed: a running first-pass wait takes its new length at the
    // player's next turn, never inside the edit.
    void numbersEdited();
    // The stop request: whatever runs ends now, and the next "Auto" is a
    // first pass. Says whether a playback was running.
    bool stop();
    // "Rec": the next "Auto" counts its passes from 0 again.
    void forgetLoop() { looping_ = false; }
    // The program goes: everything ends at once, a held press is let go and
    // the file closed; no event is told any more.
    void close();

    bool running() const { return state_ != State::Idle; }
    std::int32_t passCount() const { return passCount_; }

private:
    enum class State { Idle, AwaitingDesktop, Stepping, Waiting, Sleeping };
    // A running pause; the first-pass wait has no fixed length, as it reads
    // its box at every look.
    struct Wait {
        WaitKind kind = WaitKind::Click;
        double start = 0;
        std::optional<double> fixedLength;
        std::optional<std::int16_t> shown; // the countdown's number
    };

    void lookAtDesktop();
    void step();
    bool moveTo(const core::Record& record);
    void pressEdge(const core::Record& record);
    void releaseEdge();
    void sendRelease();

    void beginClickWait();
    void beginWait(State state, WaitKind kind, std::optional<double> fixedLength);
    void lookAtWait();
    void waitOver();
    void endWait(bool stopped);

    void end(PassEnd why);
    void endPass(PassEnd why);
    void loopRestart();
    void nextPass();
    void finish();
    QString letGo();
    void fail(const QString& message);

    std::optional<double> numberOf(core::SettingBox box) const;
    std::optional<std::int32_t> drawOffset(core::SettingBox margin);
    std::optional<double> randomLength(core::SettingBox bound);
    std::optional<double> firstPassLength() const;

    core::SettingBoxes& boxes_;
    platform::Services services_;
    platform::Ticker& ticker_;
    PlaybackObserver& observer_;
    PassPolicy policy_;
    QString path_;
    State state_ = State::Idle;
    // Changes whenever a pass starts or ends: a step that finds it changed
    // after a call of the desktop's, which may have run a stop, does no more.
    unsigned passToken_ = 0;
    double awaitingSince_ = 0; // the desktop's uptake, before a pass's first move
    std::optional<int> awaitedShown_;
    bool desktopWaitedOut_ = false; // the limit ran out in this playback
    Wait wait_;
    std::unique_ptr<platform::RecordingFileReader> reader_; // open while a pass runs
    bool pressSent_ = false;                                // an injected press is held
    std::int32_t offsetX_ = 0;                              // the held press's click offset
    std::int32_t offsetY_ = 0;
    std::int32_t passCount_ = 0;     // since start-up or the last stop; 1 in the first pass
    std::int32_t loopCount_ = 0;     // passes completed while looping
    bool looping_ = false;           // from a loop restart until "Rec" or a stop
    std::int64_t recordsPlayed_ = 0; // in this pass
};

} // namespace clickpath::playback
