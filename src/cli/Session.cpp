#include "cli/Session.h"

#include "core/Tick.h"
#include "core/ToolError.h"
#include "settings/Settings.h"

#include <QFileInfo>

#include <cmath>

namespace clickpath::cli {

using core::SettingBox;
using playback::WaitKind;

namespace {

constexpr double kProgressInterval = 0.1; // s

// The one place that sets the rate of replay: 100 x `speed` records a second.
std::chrono::nanoseconds playbackInterval(double speed)
{
    return std::chrono::nanoseconds(
        std::llround(static_cast<double>(std::chrono::nanoseconds(core::kTickInterval).count()) / speed));
}

// A recording is counted this many records at a turn of the event loop, so
// that a long one is read while a stop can still come (about 10 ms a turn).
constexpr int kRecordsPerTurn = 50000;

platform::Services withRandom(const platform::Services& services, platform::RandomSource* random)
{
    return {services.pointer, services.injector, services.clock, random ? *random : services.random, services.messages,
        services.session, services.makeTicker, services.openMouse};
}

QString andList(const QStringList& items)
{
    return items.size() < 2 ? items.join(QString())
                            : items.mid(0, items.size() - 1).join(", ") + " and " + items.back();
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
    std::function<void(const QString&)> showProgress, std::function<void(int)> finished, std::function<int()> columns)
    : invocation_(std::move(invocation))
    , paths_(std::move(paths))
    , seeded_(invocation_.seed ? std::optional<platform::qt::SeededRandom>(*invocation_.seed) : std::nullopt)
    , services_(withRandom(services, seeded_ ? &*seeded_ : nullptr))
    , showProgress_(std::move(showProgress))
    , finished_(std::move(finished))
    , columns_(std::move(columns))
    , ticker_(services_.makeTicker(
          invocation_.command == Command::Play ? playbackInterval(invocation_.speed) : core::kTickInterval))
{
    addRuns();
}

void Session::start()
{
    startedAt_ = services_.clock.seconds();
    if (invocation_.delay > 0)
        delayEnds_ = startedAt_ + invocation_.delay;
    if (invocation_.command == Command::Record) {
        recorder_.emplace(services_, *ticker_, *this, invocation_.file);
    } else {
        loadNumbers();
        playPath_ = invocation_.file.isEmpty() ? paths_.workingRecordingPath() : invocation_.file;
        counter_.emplace(playPath_);
    }
    // Stops count from here on: while the recording is read, during the
    // delay and before the first move.
    openWatcher();
    stopping::stopWhenSessionLeft(stops_, services_.session, services_.messages);
    ticker_->onTick([this] { prepareTurn(); });
    prepare();
}

void Session::prepareTurn()
{
    try {
        prepare();
    } catch (const std::exception& error) {
        // Said as at a start that fails at once; the exit status is 1.
        services_.messages.showError(QString::fromStdString(error.what()));
        finish();
    }
}

// Reads the recording a turn at a time, then counts the delay's seconds,
// waking once a second, and starts at its end.
void Session::prepare()
{
    if (counter_ && !countTurn())
        return ticker_->wakeAfter(0);
    if (counter_)
        countDone();
    const double left = delayEnds_ ? *delayEnds_ - services_.clock.seconds() : 0;
    if (left > 0) {
        drawProgress(true);
        return ticker_->wakeAfter(left - std::ceil(left) + 1);
    }
    begin();
}

// True once every record is counted.
bool Session::countTurn()
{
    for (int i = 0; i < kRecordsPerTurn; ++i) {
        if (!counter_->next())
            return true;
        ++play_.lines;
    }
    return false;
}

// A recording with nothing to play is an error; one that holds something
// else before its end is said, since the play will stop there.
void Session::countDone()
{
    const QString problem = QString::fromStdString(counter_->problem());
    counter_.reset();
    if (play_.lines == 0)
        throw ToolError(QStringLiteral("%1: nothing to play%2")
                            .arg(playPath_, problem.isEmpty() ? QString() : QStringLiteral(" (") + problem + ')')
                            .toStdString());
    if (!problem.isEmpty())
        services_.messages.showWarning(QStringLiteral("%1: %2; only the %3 records before it are played")
                                           .arg(playPath_, problem)
                                           .arg(play_.lines));
    const auto policy
        = invocation_.loop ? playback::PassPolicy::untilStopped() : playback::PassPolicy::passes(invocation_.passes);
    player_.emplace(numbers_, services_, *ticker_, *this, policy, playPath_);
}

void Session::begin()
{
    if (player_) {
        // A right button pressed since the start and not seen yet ends the
        // play before it moves anything.
        watcher_->catchUp(true);
        if (exitCode_)
            return;
        begun_ = true;
        ticker_->onTick([this] { player_->tick(); });
        return player_->startPass();
    }
    ticker_->onTick([this] { recordingTick(); });
    // Button events from before the start belong to no line, and a right
    // click made before it stops nothing.
    watcher_->catchUp(false);
    begun_ = true;
    recorder_->start();
}

// The numbers that this play will use; a single pass never sleeps.
void Session::loadNumbers()
{
    const QString file = paths_.settingsFilePath();
    settings::Settings(numbers_, file).load();
    QStringList lacking, wanted, unusable;
    for (const SettingBox box : core::kSettingBoxes) {
        const auto given = invocation_.overrides.find(box);
        if (given != invocation_.overrides.end()) {
            numbers_.setBoxText(box, given->second);
            continue;
        }
        if (box == SettingBox::SleepBound && !invocation_.loop && invocation_.passes == 1)
            continue;
        const QString text = numbers_.boxText(box);
        if (text.trimmed().isEmpty()) {
            lacking << QString::fromLatin1(core::pacingNumber(box).iniKey);
            wanted << optionOf(box);
        } else if (const QString why = core::unusableNumber(box, text, file + " (for " + optionOf(box) + ")");
                   !why.isEmpty()) {
            unusable << why;
        }
    }
    if (!QFileInfo::exists(file) && !wanted.isEmpty())
        unusable.prepend(QStringLiteral("no settings file %1: give %2, or store the numbers with SET in clickpath")
                             .arg(file, andList(wanted)));
    else if (!lacking.isEmpty())
        unusable.prepend(QStringLiteral("%1 lacks %2: give %3").arg(file, andList(lacking), andList(wanted)));
    if (!unusable.isEmpty())
        throw SettingsError(unusable.join("; ").toStdString());
}

void Session::openWatcher()
{
    watcher_.emplace(services_.openMouse, *this, stops_);
    watcher_->open([this] { watcher_->handleWaitingItems(); });
}

void Session::recordingTick()
{
    try {
        recorder_->tick();
    } catch (const std::exception& error) {
        services_.messages.showError(QString::fromStdString(error.what()));
    }
}

// The session's runs, for its stops: what prepares the start, the player
// and the recorder.
void Session::addRuns()
{
    stops_.addRun([this] {
        if (begun_ || exitCode_)
            return false;
        ticker_->stop();
        stoppedEarly_ = true;
        finish();
        return true;
    });
    stops_.addRun([this] { return player_ && player_->stop(); });
    stops_.addRun([this] { return recorder_ && recorder_->stop(); });
}

void Session::finish()
{
    if (exitCode_)
        return;
    const auto& stop = stops_.first();
    exitCode_ = stop && stop->reason == stopping::StopReason::Signal ? 128 + stop->signal : 0;
    drawProgress(true); // the last state shows in full
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

void Session::desktopAwaited(const QString& awaited, int secondsLeft)
{
    play_.wait = QStringLiteral("waiting for ") + awaited;
    play_.countdown = QString::number(secondsLeft);
    drawProgress(true);
}

void Session::recordPlayed(std::int64_t played, std::int32_t, std::int32_t)
{
    if (played == 1)
        play_.wait.clear(); // the wait for the desktop, if there was one
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
    play_.wait.clear(); // and with it its countdown
    drawProgress(true);
}

void Session::recordingStarted()
{
    startedAt_ = services_.clock.seconds(); // after a delay
    if (const auto at = services_.pointer.position())
        std::tie(record_.x, record_.y) = std::pair(at->x, at->y);
    drawProgress(true);
}

void Session::lineRecorded(std::int64_t lines, std::int32_t x, std::int32_t y)
{
    record_.lines = lines;
    record_.x = x;
    record_.y = y;
    drawProgress(false);
}

void Session::primaryButton(bool pressed)
{
    record_.held = pressed;
    // Before the start the line would show a pointer at 0,0.
    if (recorder_ && recorder_->recording()) {
        recorder_->leftButton(pressed); // the primary button is the recording's left one
        drawProgress(false);
    }
}

void Session::drawProgress(bool atOnce)
{
    // At most ten times a second, but every second of a countdown at once.
    const double now = services_.clock.seconds();
    if (!showProgress_ || (!atOnce && now - drawnAt_ < kProgressInterval))
        return;
    const int width = columns_ && columns_() > 0 ? columns_() : 80;
    QString line;
    if (stoppedEarly_) {
        line = QStringLiteral("stopped before it started");
    } else if (!begun_) {
        line = delayEnds_ ? delayLine(static_cast<int>(std::ceil(*delayEnds_ - now)), width) : QString();
    } else if (player_) {
        line = playLine(play_, width);
    } else if (recorder_) {
        record_.seconds = now - startedAt_;
        line = recordLine(record_, width);
    }
    drawnAt_ = now;
    if (line != drawn_)
        showProgress_(drawn_ = line);
}

} // namespace clickpath::cli
