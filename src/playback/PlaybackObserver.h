#pragma once

#include <QString>

#include <cstdint>

namespace clickpath::playback {

// The three pauses of playback: after each click of the first pass, after
// every click, and between looped passes.
enum class WaitKind { FirstPass, Click, LoopSleep };

// Why a pass ended: its recording ran out (at its end, at a bad record, at a
// box that holds no number, at a position beyond 32 bits), it was stopped,
// or a fault ended it, which was said.
enum class PassEnd { Finished, Stopped, Failed };

// What playback tells the program's face, in the order it happens. Every
// event has a default that ignores it.
class PlaybackObserver {
public:
    virtual ~PlaybackObserver() = default;
    // `pass` counts since start-up or the last stop; `loopsReset` when the
    // count of looped passes starts from 0 again.
    virtual void passStarted(std::int32_t /*pass*/, bool /*loopsReset*/) {}
    // Before its first move the pass waits for the desktop to take input,
    // as `awaited` says, at most `secondsLeft` more seconds; told at each
    // change of the seconds.
    virtual void desktopAwaited(const QString& /*awaited*/, int /*secondsLeft*/) {}
    // The pointer went to (x, y), for the `played`th record of the pass.
    virtual void recordPlayed(std::int64_t /*played*/, std::int32_t /*x*/, std::int32_t /*y*/) {}
    virtual void pressed() {}
    virtual void released() {}
    // A pause starts; `seconds` is its length as it stands now.
    virtual void waitStarted(WaitKind /*kind*/, double /*seconds*/) {}
    // Whole seconds left of the running pause, at each change.
    virtual void countdown(std::int16_t /*seconds*/) {}
    virtual void waitEnded(WaitKind /*kind*/, bool /*stopped*/) {}
    virtual void passEnded(PassEnd /*why*/) {}
    // A finished pass is followed by another; `loops` counts them.
    virtual void loopCounted(std::int32_t /*loops*/) {}
    // Nothing plays any more: no pass, no pause, no press held.
    virtual void playbackEnded() {}
};

} // namespace clickpath::playback
