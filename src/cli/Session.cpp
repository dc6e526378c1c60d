#include "cli/Session.h"

#include "core/Tick.h"
#include "settings/Settings.h"

namespace clickpath::cli {

using core::SettingBox;
using playback::WaitKind;

namespace {

constexpr double kProgressInterval = 0.1; // s

// Counts the whole records of a recording; a file that holds something else
// before its end is said, since the play will stop there.
std::int64_t countRecords(const QString& path, platform::MessageSink& messages)
{
    core::RecordingReader reader(path);
    std::int64_t records = 0;
    while (reader.next())
        ++records;
    if (!reader.problem().empty())
        messages.showWarning(QStringLiteral("%1: %2; only the %3 records before it are played")
                                 .arg(path, QString::fromStdString(reader.problem()))
                                 .arg(records));
    return records;
}

QString nameOf(WaitKind kind)
{
    switch (kind) {
    case WaitKind::FirstPass:
        return QStringLiteral("first-pass wait");
    case WaitKind::Click:
        return QStringLiteral("click wait");
    case WaitKind::LoopSleep:
        break;
    }
    return QStringLiteral("sleep");
}

} // namespace

QString Session::Numbers::boxText(SettingBox box) const
{
    const auto found = texts.find(box);
    return found == texts.end() ? QString() : found->second;
}

Session::Session(Invocation invocation, core::AppPaths paths, const platform::Services& services,
    std::function<void(const QString&)> showProgress, std::function<void(int)> finished)
    : invocation_(std::move(invocation))
    , paths_(std::move(paths))
    , services_(services)
    , showProgress_(std::move(showProgress))
    , finished_(std::move(finished))
    , ticker_(services_.makeTicker(core::kTickInterval))
{
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
    settings::Settings(numbers_, paths_.settingsFilePath()).load();
    for (const SettingBox box : core::kSettingBoxes) {
        const auto given = invocation_.overrides.find(box);
        if (given != invocation_.overrides.end())
            numbers_.setBoxText(box, given->second);
        else
            checkUsable(box, numbers_.boxText(box), paths_.settingsFilePath() + " (for " + optionOf(box) + ")");
    }
}

void Session::openWatcher()
{
    watcher_.emplace(services_.openMouse, *this);
    watcher_->open([this] { watcher_->handleWaitingItems(); });
}

void Session::startPlaying()
{
    loadNumbers();
    const QString path = invocation_.file.isEmpty() ? paths_.workingRecordingPath() : invocation_.file;
    play_.lines = countRecords(path, services_.messages);
    const auto policy
        = invocation_.loop ? playback::PassPolicy::untilStopped() : playback::PassPolicy::passes(invocation_.passes);
    player_.emplace(numbers_, services_, *ticker_, *this, policy, path);
    ticker_->onTick([this] { player_->tick(); });
    openWatcher();
    player_->startPass();
}

void Session::startRecording()
{
    recorder_.emplace(services_.pointer, *ticker_, *this, invocation_.file);
    ticker_->onTick([this] { recordingTick(); });
    openWatcher();
    // Button events from before the start belong to no line, and a right
    // click made before it stops nothing.
    catchingUp_ = true;
    watcher_->catchUp();
    catchingUp_ = false;
    recorder_->start();
}

void Session::recordingTick()
{
    try {
        recorder_->tick();
    } catch (const std::exception& error) {
        services_.messages.showError(QString::fromStdString(error.what()));
    }
}

void Session::stop(int signal)
{
    if (!signal_)
        signal_ = signal;
    if (player_)
        player_->stop();
    if (recorder_)
        recorder_->stop();
}

void Session::finish()
{
    if (exitCode_)
        return;
    exitCode_ = signal_ ? 128 + signal_ : 0;
    drawnAt_ = -1; // the last state shows in full
    drawProgress(false);
    finished_(*exitCode_);
    try {
        watcher_->stopDelivery();
    } catch (const std::exception&) {
        // The run is over: nothing is left to watch for.
    }
}

void Session::passStarted(std::int32_t pass, bool)
{
    play_.pass = std::max(play_.pass, pass); // a stop counts from 0 again
    play_.line = 0;
    drawProgress(false);
}

void Session::recordPlayed(std::int64_t played, std::int32_t, std::int32_t)
{
    play_.line = played;
    drawProgress(false);
}

void Session::waitStarted(WaitKind kind, double)
{
    nextWait_ = nameOf(kind);
}

void Session::countdown(std::int16_t seconds)
{
    play_.wait = nextWait_;
    play_.countdown = QString::number(seconds);
    drawProgress(true);
}

void Session::waitEnded(WaitKind, bool)
{
    play_.wait.clear();
    play_.countdown.clear();
    drawProgress(true);
}

void Session::lineRecorded(std::int64_t lines, std::int32_t x, std::int32_t y)
{
    record_.lines = lines;
    record_.x = x;
    record_.y = y;
    drawProgress(false);
}

void Session::leftButton(bool pressed)
{
    if (recorder_)
        recorder_->leftButton(pressed);
    record_.held = pressed;
    drawProgress(false);
}

void Session::rightButton()
{
    if (!catchingUp_)
        stop();
}

void Session::drawProgress(bool waitChanged)
{
    // At most ten times a second, but every second of a countdown.
    const double now = services_.clock.seconds();
    if (!showProgress_ || (!waitChanged && now - drawnAt_ < kProgressInterval))
        return;
    QString line;
    if (player_) {
        line = playLine(play_);
    } else if (recorder_) {
        record_.seconds = now - startedAt_;
        line = recordLine(record_);
    }
    drawnAt_ = now;
    if (line != drawn_)
        showProgress_(drawn_ = line);
}

} // namespace clickpath::cli
