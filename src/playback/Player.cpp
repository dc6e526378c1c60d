#include "playback/Player.h"

#include "core/NumberText.h"
#include "platform/ToolError.h"
#include "playback/PacingWait.h"

#include <cmath>

namespace clickpath::playback {

using core::SettingBox;

Player::Player(core::SettingBoxes& boxes, const platform::Services& services, platform::Ticker& ticker,
    PlaybackObserver& observer, PassPolicy policy, QString path)
    : boxes_(boxes)
    , services_(services)
    , ticker_(ticker)
    , observer_(observer)
    , policy_(std::move(policy))
    , path_(std::move(path))
{
}

void Player::startPass()
{
    auto reader = std::make_unique<core::RecordingReader>(path_);
    const auto count = core::sumOf(passCount_, 1);
    if (!count)
        throw ToolError("Overflow: pass count");
    reader_ = std::move(reader);
    recordsPlayed_ = 0;
    passCount_ = *count;
    const bool loopsReset = !looping_;
    if (loopsReset)
        loopCount_ = 0;
    state_ = State::Stepping;
    observer_.passStarted(passCount_, loopsReset);
    ticker_.startTicking();
}

void Player::tick()
{
    try {
        if (state_ == State::Stepping)
            step();
        else if (state_ != State::Idle)
            lookAtWait();
    } catch (const ToolError& error) {
        // The desktop or the file failed under the step: said, and no restart.
        end(PassEnd::Failed);
        services_.messages.showError(QString::fromStdString(error.what()));
    } catch (const std::exception& error) {
        end(PassEnd::Failed);
        services_.messages.showError(QStringLiteral("Internal error: %1").arg(QString::fromLocal8Bit(error.what())));
    }
}

void Player::numbersEdited()
{
    if (state_ == State::Waiting && wait_.kind == WaitKind::FirstPass)
        tick();
}

void Player::step()
{
    const std::optional<core::Record> record = reader_->next();
    if (!record)
        return endPass(PassEnd::Finished);
    ++recordsPlayed_;
    if (!moveTo(*record))
        return endPass(PassEnd::Finished);
    if (record->button == core::kButtonHeld && !pressSent_)
        pressEdge(*record);
    else if (record->button == core::kButtonUp && pressSent_)
        releaseEdge();
}

// To the record plus the click offsets in force, and shows it. False for a
// position beyond 32 bits, which ends the pass.
bool Player::moveTo(const core::Record& record)
{
    const auto x = core::sumOf(offsetX_, record.x);
    const auto y = core::sumOf(record.y, offsetY_);
    if (!x || !y)
        return false;
    services_.pointer.moveTo(*x, *y);
    observer_.recordPlayed(recordsPlayed_, *x, *y);
    return true;
}

void Player::pressEdge(const core::Record& record)
{
    const auto dx = drawOffset(SettingBox::HorizontalMargin);
    const auto dy = dx ? drawOffset(SettingBox::VerticalMargin) : std::nullopt;
    if (!dy)
        return endPass(PassEnd::Finished);
    offsetX_ = *dx;
    offsetY_ = *dy;
    if (!moveTo(record))
        return endPass(PassEnd::Finished);
    services_.injector.pressLeft();
    pressSent_ = true;
    observer_.pressed();
}

void Player::releaseEdge()
{
    // The pointer stands at the release record plus the press's offsets.
    sendRelease();
    observer_.released();
    if (passCount_ == 1)
        beginWait(State::Waiting, WaitKind::FirstPass, std::nullopt);
    else
        beginClickWait();
}

void Player::sendRelease()
{
    services_.injector.releaseLeft();
    pressSent_ = false;
    offsetX_ = 0;
    offsetY_ = 0;
}

void Player::beginClickWait()
{
    // Drawn once, when the wait begins.
    const auto length = randomLength(SettingBox::ClickWaitBound);
    if (!length)
        return endPass(PassEnd::Finished);
    beginWait(State::Waiting, WaitKind::Click, length);
}

void Player::beginWait(State state, WaitKind kind, std::optional<double> fixedLength)
{
    state_ = state;
    wait_ = {kind, services_.clock.seconds(), fixedLength, std::nullopt};
    ticker_.stop();
    observer_.waitStarted(kind, fixedLength ? *fixedLength : firstPassLength().value_or(0));
    lookAtWait();
}

void Player::lookAtWait()
{
    const auto length = wait_.fixedLength ? wait_.fixedLength : firstPassLength();
    const auto standing = length ? waitStanding(wait_.start, *length, services_.clock.seconds()) : std::nullopt;
    if (!standing && state_ != State::Sleeping) // a first-pass box that holds no number, or a countdown past 16 bits
        return endPass(PassEnd::Finished);
    if (!standing) {
        endWait(false);
        return fail(QStringLiteral("Countdown: overflow, a sleep of %1 s is out of range").arg(*wait_.fixedLength));
    }
    if (standing->over)
        return waitOver();
    if (wait_.shown != standing->secondsLeft) {
        wait_.shown = standing->secondsLeft;
        observer_.countdown(standing->secondsLeft);
    }
    ticker_.wakeAfter(standing->unchangedFor);
}

void Player::waitOver()
{
    endWait(false);
    switch (wait_.kind) {
    case WaitKind::FirstPass:
        return beginClickWait();
    case WaitKind::Click:
        state_ = State::Stepping;
        return ticker_.startTicking(); // a new grid from the end of the pause
    case WaitKind::LoopSleep:
        return nextPass();
    }
}

void Player::endWait(bool stopped)
{
    state_ = state_ == State::Sleeping ? State::Idle : State::Stepping;
    observer_.waitEnded(wait_.kind, stopped);
}

void Player::endPass(PassEnd why)
{
    if (state_ == State::Waiting)
        endWait(why == PassEnd::Stopped);
    reader_.reset();
    state_ = State::Idle;
    ticker_.stop();
    observer_.passEnded(why);
    if (why == PassEnd::Finished && policy_.playAnother(passCount_))
        loopRestart();
    else
        finish();
}

void Player::loopRestart()
{
    looping_ = true;
    const auto loops = core::sumOf(loopCount_, 1);
    if (!loops)
        return fail(QStringLiteral("Overflow: loop count"));
    loopCount_ = *loops;
    observer_.loopCounted(loopCount_);
    const QString sleepText = boxes_.boxText(SettingBox::SleepBound);
    const auto bound = core::longOf(sleepText);
    if (!bound)
        return fail(core::badNumberMessage(sleepText, core::captionOf(SettingBox::SleepBound)));
    if (*bound <= 0)
        return nextPass();
    beginWait(State::Sleeping, WaitKind::LoopSleep, randomLength(SettingBox::SleepBound).value_or(0));
}

void Player::nextPass()
{
    try {
        startPass();
    } catch (const ToolError& error) {
        fail(QString::fromStdString(error.what()));
    }
}

// Nothing plays any more; a press carried across a restart is let go.
void Player::finish()
{
    state_ = State::Idle;
    ticker_.stop();
    if (pressSent_) {
        sendRelease();
        observer_.released();
    }
    observer_.playbackEnded();
}

void Player::fail(const QString& message)
{
    finish();
    services_.messages.showError(message);
}

void Player::stop()
{
    passCount_ = 0; // the next "Auto" is a first pass again
    looping_ = false;
    end(PassEnd::Stopped);
}

// Whatever runs ends now, with no restart.
void Player::end(PassEnd why)
{
    if (state_ == State::Sleeping) {
        endWait(why == PassEnd::Stopped);
        finish();
    } else if (state_ != State::Idle) {
        endPass(why);
    }
}

void Player::close()
{
    state_ = State::Idle;
    ticker_.stop();
    reader_.reset();
    try {
        if (pressSent_)
            sendRelease();
    } catch (const std::exception&) {
        // Nothing is reported at shutdown.
    }
}

// A random click offset from a margin box: one of -M .. M-1 for a margin M.
std::optional<std::int32_t> Player::drawOffset(SettingBox margin)
{
    const QString text = boxes_.boxText(margin);
    const auto m = core::singleOf(text);
    const auto exact = core::doubleOf(text);
    if (!m || !exact)
        return std::nullopt;
    const float bound = *m + *m;
    const double r = services_.random.next();
    const long double drawn = std::floor(static_cast<long double>(r) * bound);
    return core::longOf(static_cast<double>(drawn - std::floor(*exact)));
}

// floor(r x bound) whole seconds, r drawn from [0, 1).
std::optional<double> Player::randomLength(SettingBox bound)
{
    const auto v = core::singleOf(boxes_.boxText(bound));
    if (!v)
        return std::nullopt;
    const double r = services_.random.next();
    return static_cast<float>(std::floor(static_cast<long double>(r) * *v));
}

std::optional<double> Player::firstPassLength() const
{
    const auto seconds = core::integerOf(boxes_.boxText(SettingBox::FirstPassWait));
    return seconds ? std::optional<double>(*seconds) : std::nullopt;
}

} // namespace clickpath::playback
