#include "cli/Session.h"

#include "cli/ProgressLine.h"
#include "platform/ToolError.h"
#include "settings/Settings.h"

namespace clickpath::cli {

using core::Label;
using core::SettingBox;
using core::Tick;

namespace {

constexpr double kProgressInterval = 0.1; // s

// Counts the whole records of a recording; a file that holds something else
// before its end is said, since the play will stop there.
std::int64_t countRecords(const QString& path, platform::MessageSink& messages)
{
    core::RecordingReader reader(path);
    std::int64_t records = 0;
    try {
        for (;; ++records)
            reader.next();
    } catch (const EndOfFileError&) {
    } catch (const ToolError& error) {
        messages.showWarning(QStringLiteral("%1: %2; only the %3 records before it are played")
                                 .arg(path, QString::fromStdString(error.what()))
                                 .arg(records));
    }
    return records;
}

} // namespace

Session::Session(Invocation invocation, core::AppPaths paths, const platform::Services& services,
    std::function<void(const QString&)> showProgress, std::function<void(int)> finished)
    : invocation_(std::move(invocation))
    , paths_(std::move(paths))
    , services_(services)
    , showProgress_(std::move(showProgress))
    , finished_(std::move(finished))
{
    controls_.changed = [this] { drawProgress(); };
}

void Session::start()
{
    startedAt_ = services_.clock.seconds();
    if (invocation_.command == Command::Record)
        startRecording();
    else
        startPlaying();
}

void Session::loadNumbers()
{
    settings::Settings(controls_, paths_.settingsFilePath()).load();
    for (const SettingBox box : core::kSettingBoxes) {
        const auto given = invocation_.overrides.find(box);
        if (given != invocation_.overrides.end())
            controls_.setBoxText(box, given->second);
        else
            checkUsable(box, controls_.boxText(box), paths_.settingsFilePath() + " (for " + optionOf(box) + ")");
    }
}

void Session::openWatcher()
{
    watcher_.emplace(controls_, services_.openMouse, latch_, [this] {
        if (!catchingUp_)
            stop();
    });
    watcher_->open([this] { watcher_->handleWaitingItems(); });
}

void Session::startPlaying()
{
    loadNumbers();
    const QString path = invocation_.file.isEmpty() ? paths_.workingRecordingPath() : invocation_.file;
    recordsInFile_ = countRecords(path, services_.messages);
    player_.emplace(controls_, services_, path);
    controls_.loopTest = [this] { return invocation_.loop || player_->passCount() < invocation_.passes; };
    controls_.tick(Tick::Playback).onTimeout([this] { playbackTick(); });
    openWatcher();
    player_->startPass();
}

void Session::startRecording()
{
    recorder_.emplace(controls_, services_.pointer, latch_, invocation_.file);
    controls_.tick(Tick::Recording).onTimeout([this] { recordingTick(); });
    openWatcher();
    // Button events from before the start belong to no line, and a right
    // click made before it stops nothing.
    catchingUp_ = true;
    watcher_->catchUp();
    catchingUp_ = false;
    recorder_->start();
}

void Session::stop(int signal)
{
    if (!signal_)
        signal_ = signal;
    if (player_)
        player_->stop();
    if (recorder_)
        recorder_->stop();
    finishWhenDone();
}

void Session::playbackTick()
{
    player_->tick();
    finishWhenDone();
}

void Session::recordingTick()
{
    try {
        recorder_->tick();
    } catch (const std::exception& error) {
        services_.messages.showError(QString::fromStdString(error.what()));
    }
    finishWhenDone();
}

void Session::finishWhenDone()
{
    const bool running = player_ ? controls_.tickRunning(Tick::Playback) || player_->stepRunning()
                                 : recorder_ && recorder_->recording();
    if (running || exitCode_)
        return;
    exitCode_ = signal_ ? 128 + signal_ : 0;
    drawnAt_ = -1; // the last state shows in full
    drawProgress();
    finished_(*exitCode_);
    try {
        watcher_->stopDelivery();
    } catch (const std::exception&) {
        // The run is over: nothing is left to watch for.
    }
}

void Session::drawProgress()
{
    const double now = services_.clock.seconds();
    const QString countdown = controls_.label(Label::Countdown);
    const QString wait = controls_.runningWait();
    // At most ten times a second, but every second of a countdown.
    const bool waitChanged = wait != drawnWait_ || (!wait.isEmpty() && countdown != drawnCountdown_);
    if (!showProgress_ || (!waitChanged && now - drawnAt_ < kProgressInterval))
        return;
    QString line;
    if (player_) {
        passShown_ = std::max(passShown_, player_->passCount()); // a stop counts from 0 again
        line = playLine({passShown_, player_->recordsPlayed(), recordsInFile_, wait, countdown});
    } else if (recorder_) {
        const platform::ScreenPoint at = controls_.pointer();
        const bool held = !controls_.label(Label::ClickShown).isEmpty();
        line = recordLine({now - startedAt_, recorder_->linesWritten(), at.x, at.y, held});
    }
    drawnAt_ = now;
    drawnWait_ = wait;
    drawnCountdown_ = countdown;
    if (line != drawn_)
        showProgress_(drawn_ = line);
}

} // namespace clickpath::cli
