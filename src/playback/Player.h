#pragma once

#include "core/Controls.h"
#include "core/RecordingFormat.h"
#include "platform/Services.h"

#include <QString>

#include <cstdint>
#include <memory>

namespace clickpath::playback {

// Replays a recording: one record per playback tick, each click at a random
// offset inside the margins and followed by the pacing waits; at the end of a
// pass, with "LOOP" checked, a random sleep and the next pass.
class Player {
public:
    Player(core::Controls& controls, const platform::Services& services, QString path);

    // "Auto", and the start of every looped pass: opens the recording afresh.
    // Throws when it cannot be read; nothing else has changed then.
    void startPass();
    // One playback step: the next record, its click, and the waits after a
    // release. Every error of a step ends the pass.
    void tick();
    // The stop request: no restart, and the next "Auto" is a first pass. A
    // pass between two steps ends now; a wait sees the stop and ends its pass.
    void stop();
    // "Rec": the next "Auto" counts its passes from 0 again.
    void forgetLoop() { looping_ = false; }
    // The program goes: a running wait ends at once, a held press is let go
    // and the file closed; no control is touched any more.
    void close();

    // A random click offset from a margin box: one of -M .. M-1 for a margin M.
    std::int32_t drawOffset(core::SettingBox margin);

    bool passOpen() const { return reader_ != nullptr; }
    bool stepRunning() const { return stepRunning_; }
    bool pressSent() const { return pressSent_; }
    std::int32_t passCount() const { return passCount_; }
    std::int64_t recordsPlayed() const { return recordsPlayed_; }

private:
    enum class StepEnd { Continue, PassEnds, Stopped, InternalError, Closed };
    enum class WaitEnd { TimeRanOut, Stopped, Closed };

    // How long a wait lasts: a fixed length, or the first-pass rule that
    // reads its box afresh in every cycle.
    struct WaitLength {
        bool firstPassRule = false;
        float seconds = 0;
    };

    StepEnd step();
    void moveTo(const core::Record& record);
    void pressEdge(const core::Record& record);
    StepEnd releaseEdge();
    void sendRelease();
    void releaseHeldPress();

    WaitEnd waitsAfterRelease();
    WaitEnd runWait(core::Label label, float start, WaitLength length);
    float lengthOf(WaitLength length);
    float randomLength(core::SettingBox bound);
    float clockSeconds();

    void endPass(StepEnd why);
    void loopRestart();

    core::Controls& controls_;
    platform::Services services_;
    QString path_;
    std::unique_ptr<core::RecordingReader> reader_; // open while a pass runs
    bool pressSent_ = false;                        // an injected press is held
    std::int32_t offsetX_ = 0;                      // the held press's click offset
    std::int32_t offsetY_ = 0;
    bool stopFlag_ = false;
    std::int32_t passCount_ = 0; // since start-up or the last stop; 1 in the first pass
    std::int32_t loopCount_ = 0; // passes completed while looping
    bool looping_ = false;       // from a loop restart until "Rec" or a stop
    bool stepRunning_ = false;   // a step holds the thread, inside a wait or the loop sleep
    bool closed_ = false;
    std::int64_t recordsPlayed_ = 0; // in this pass
};

} // namespace clickpath::playback
