#pragma once

#include "cli/CommandLine.h"
#include "cli/ProgressLine.h"
#include "core/AppPaths.h"
#include "platform/Services.h"
#include "platform/qt/SeededRandom.h"
#include "playback/Player.h"
#include "recording/Recorder.h"
#include "stopping/MouseWatcher.h"
#include "stopping/StopController.h"

#include <functional>
#include <map>
#include <optional>

namespace clickpath::cli {

// The settings file lacks a number that the run needs, or holds one that it
// cannot use: like a usage error, but the command line itself is right.
class SettingsError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One run of "play" or "record" from a terminal: the window's recorder,
// player and mouse watcher, with the settings of the window's settings file
// and the options given; what they report becomes the progress line.
class Session final : public playback::PlaybackObserver,
                      public recording::RecordingObserver,
                      public stopping::ButtonObserver {
public:
    // `showProgress` gets the progress line whenever it changes (at most ten
    // times a second), fitted to `columns()`; `finished` the exit code once
    // the run is over.
    Session(
        Invocation invocation, core::AppPaths paths, const platform::Services& services,
        std::function<void(const QString&)> showProgress, std::function<void(int exitCode)> finished,
        std::function<int()> columns = [] { return 80; });

    // Starts playing or recording, after the delay asked for. Throws a
    // SettingsError when a number is missing or unusable, a ToolError when a
    // file or the mouse cannot be had or there is nothing to play.
    void start();
    // Where every stop goes (the secondary mouse button, a signal, the stop
    // key, the stop command, another session in front): the reading of the
    // recording, the delay, a pass or the recording ends, without a restart;
    // the exit code is 0, or 128 and the signal after a signal.
    stopping::StopController& stops() { return stops_; }

    std::optional<int> exitCode() const { return exitCode_; }

private:
    // The five numbers as the settings file and the options give them.
    struct Numbers final : core::SettingBoxes {
        QString boxText(core::SettingBox box) const override;
        void setBoxText(core::SettingBox box, const QString& text) override { texts[box] = text; }
        std::map<core::SettingBox, QString> texts;
    };

    void loadNumbers();
    void openWatcher();
    void prepareTurn();
    void prepare();
    bool countTurn();
    void countDone();
    void begin();
    void recordingTick();
    void finish();
    void drawProgress(bool atOnce);

    void passStarted(std::int32_t pass, bool loopsReset) override;
    void desktopAwaited(const QString& awaited, int secondsLeft) override;
    void recordPlayed(std::int64_t played, std::int32_t x, std::int32_t y) override;
    void waitStarted(playback::WaitKind kind, double seconds) override;
    void countdown(std::int16_t seconds) override;
    void waitEnded(playback::WaitKind kind, bool stopped) override;
    void playbackEnded() override { finish(); }
    void recordingStarted() override;
    void lineRecorded(std::int64_t lines, std::int32_t x, std::int32_t y) override;
    void recordingEnded() override { finish(); }
    void addRuns();
    void primaryButton(bool pressed) override;

    Invocation invocation_;
    core::AppPaths paths_;
    std::optional<platform::qt::SeededRandom> seeded_; // with --seed
    platform::Services services_;
    std::function<void(const QString&)> showProgress_;
    std::function<void(int)> finished_;
    std::function<int()> columns_;
    Numbers numbers_;
    std::unique_ptr<platform::Ticker> ticker_;
    std::optional<recording::Recorder> recorder_;
    std::optional<playback::Player> player_;
    stopping::StopController stops_;
    std::optional<stopping::MouseWatcher> watcher_;
    QString playPath_;
    std::optional<platform::RecordingFileReader> counter_; // while the recording is counted
    PlayProgress play_;
    QString nextWait_; // shown from its first countdown number on
    RecordProgress record_;
    double startedAt_ = 0;
    std::optional<double> delayEnds_; // with a delay
    bool begun_ = false;              // playing or recording
    bool stoppedEarly_ = false;       // before it had begun
    double drawnAt_ = -1;
    QString drawn_; // the progress line shown last
    std::optional<int> exitCode_;
};

} // namespace clickpath::cli
