#pragma once

#include "cli/CommandLine.h"
#include "cli/TerminalControls.h"
#include "core/AppPaths.h"
#include "platform/Services.h"
#include "playback/Player.h"
#include "recording/LeftButtonLatch.h"
#include "recording/MouseWatcher.h"
#include "recording/Recorder.h"

#include <functional>
#include <optional>

namespace clickpath::cli {

// One run of "play" or "record" from a terminal: the window's recorder,
// player and mouse watcher, with the settings of the window's settings file
// and the options given, and a progress line in place of the labels.
class Session {
public:
    // `showProgress` gets the progress line whenever it changes (at most ten
    // times a second); `finished` the exit code once the run is over.
    Session(Invocation invocation, core::AppPaths paths, const platform::Services& services,
        std::function<void(const QString&)> showProgress, std::function<void(int exitCode)> finished);

    // Starts playing or recording. Throws a UsageError when a number is
    // missing or unusable, a ToolError when a file or the mouse cannot be had.
    void start();
    // The right button (0), SIGINT or SIGTERM: a pass ends without a restart
    // or the recording ends; the exit code is 0, or 128 and the signal.
    void stop(int signal = 0);
    // The two ticks, as the grid timers call them.
    void playbackTick();
    void recordingTick();

    TerminalControls& controls() { return controls_; }
    std::optional<int> exitCode() const { return exitCode_; }

private:
    void startPlaying();
    void startRecording();
    void loadNumbers();
    void openWatcher();
    void finishWhenDone();
    void drawProgress();

    Invocation invocation_;
    core::AppPaths paths_;
    platform::Services services_;
    std::function<void(const QString&)> showProgress_;
    std::function<void(int)> finished_;
    TerminalControls controls_;
    recording::LeftButtonLatch latch_;
    std::optional<recording::Recorder> recorder_;
    std::optional<playback::Player> player_;
    std::optional<recording::MouseWatcher> watcher_;
    std::int64_t recordsInFile_ = 0;
    double startedAt_ = 0;
    double drawnAt_ = -1;
    QString drawn_; // the progress line shown last, with its wait and countdown
    QString drawnWait_;
    QString drawnCountdown_;
    std::int32_t passShown_ = 0;
    bool catchingUp_ = false; // the watcher handles what came before the start
    int signal_ = 0;
    std::optional<int> exitCode_;
};

} // namespace clickpath::cli
