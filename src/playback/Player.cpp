#include "playback/Player.h"

#include "core/NumberText.h"
#include "core/ToolError.h"
#include "playback/PacingWait.h"

#include <cmath>

namespace clickpath::playback {

using core::SettingBox;

namespace {

// How long a pass waits for the desktop to take input before it plays all
// the same (sway took a new device in about 2 s under emulation), and how
// often it looks.
constexpr double kUptakeLimit = 10; // s
constexpr double kUptakeLook = 0.1; // s

} // namespace

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
    if (!services_.session.active())
        throw ToolError(platform::kInactiveSession);
    auto reader = std::make_unique<platform::RecordingFileReader>(path_);
    const auto count = core::sumOf(passCount_, 1);
    if (!count)
        throw ToolError("Overflow: pass count");
    reader_ = std::move(reader);
    recordsPlayed_ = 0;
    passCount_ = *count;
    const bool loopsReset = !looping_;
    if (loopsReset)
        loopCount_ = 0;
    ++passToken_;
    state_ = State::AwaitingDesktop;
    awaitingSince_ = services_.clock.seconds();
    awaitedShown_.reset();
    observer_.passStarted(passCount_, loopsReset);
    lookAtDesktop();
}

void Player::tick()
{
    try {
        if (state_ == State::Stepping)
            step();
        else if (state_ == State::AwaitingDesktop)
            lookAtDesktop();
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
    // A look at once, on the player's own turn: the texts that the box
    // held on the way there ("-", an emptied box) count for nothing.
    if (state_ == State::Waiting && wait_.kind == WaitKind::FirstPass)
        ticker_.wakeAfter(0);
}

// Moves and clicks sent before the desktop takes them would be lost: the
// first move waits for it, never longer than the limit, while a stop can
// end the pass as at any other moment.
void Player::lookAtDesktop()
{
    const std::string awaited = services_.pointer.awaitedUptake();
    const double waited = services_.clock.seconds() - awaitingSince_;
    if (awaited.empty() || waited >= kUptakeLimit || desktopWaitedOut_) {
        state_ = State::Stepping;
        ticker_.startTicking();
        if (awaited.empty() || desktopWaitedOut_)
            return;
        desktopWaitedOut_ = true; // the later passes of this playback play at once
        services_.messages.showWarning(QStringLiteral("Waited %1 s for %2: moves and clicks may not reach the desktop.")
                                           .arg(kUptakeLimit)
                                           .arg(QString::fromStdString(awaited)));
        return;
    }
    const int secondsLeft = static_cast<int>(std::ceil(kUptakeLimit - waited));
    if (awaitedShown_ != secondsLeft) {
        awaitedShown_ = secondsLeft;
        observer_.desktopAwaited(QString::fromStdString(awaited), secondsLeft);
    }
    ticker_.wakeAfter(kUptakeLook);
}

void Player::step()
{
    const std::optional<core::Record> record = reader_->next();
    if (!record)
        return endPass(PassEnd::Finished);
    ++recordsPlayed_;
    const unsigned pass = passToken_;
    if (!moveTo(*record))
        return endPass(PassEnd::Finished);
    if (passToken_ != pass)
        return; // stopped while the desktop moved the pointer
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
    const unsigned pass = passToken_;
    if (!moveTo(record))
        return endPass(PassEnd::Finished);
    if (passToken_ != pass)
        return;
    // Counted as held before it is sent: a stop that comes while it is
    // being sent still lets it go.
    pressSent_ = true;
    services_.injector.pressLeft();
    if (passToken_ == pass)
        observer_.pressed();
}

void Player::releaseEdge()
{
    // The pointer stands at the release record plus the press's offsets.
    const unsigned pass = passToken_;
    sendRelease();
    if (passToken_ != pass)
        return;
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
    if (!standing) // a first-pass box that holds no number in its range: every length read fits the countdown
        return endPass(PassEnd::Finished);
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
    ++passToken_;
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
    const core::CheckedNumber sleep = core::readNumber(
        SettingBox::SleepBound, boxes_.boxText(SettingBox::SleepBound), core::captionOf(SettingBox::SleepBound));
    if (!sleep.value)
        return fail(sleep.problem);
    if (*core::longOf(*sleep.value) <= 0) // halves to even: 0.5 sleeps not, 1.5 does
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
// Whatever fails, playback ends: a release that the desktop refuses is said
// once, and tried again at the next end or at the close.
void Player::finish()
{
    ++passToken_;
    state_ = State::Idle;
    desktopWaitedOut_ = false;
    ticker_.stop();
    const QString refused = letGo();
    observer_.playbackEnded();
    if (!refused.isEmpty())
        services_.messages.showError(refused);
}

// Releases a held press; why it could not, or nothing.
QString Player::letGo()
{
    if (!pressSent_)
        return {};
    try {
        sendRelease();
    } catch (const std::exception& error) {
        return QString::fromStdString(error.what());
    }
    observer_.released();
    return {};
}

void Player::fail(const QString& message)
{
    finish();
    services_.messages.showError(message);
}

bool Player::stop()
{
    const bool ran = running();
    passCount_ = 0; // the next "Auto" is a first pass again
    looping_ = false;
    end(PassEnd::Stopped);
    return ran;
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
    ++passToken_;
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
// A box's value as its one checked read gives it; nothing when the box holds
// no number in its range.
std::optional<double> Player::numberOf(SettingBox box) const
{
    return core::readNumber(box, boxes_.boxText(box), core::captionOf(box)).value;
}

std::optional<std::int32_t> Player::drawOffset(SettingBox margin)
{
    const auto exact = numberOf(margin);
    if (!exact)
        return std::nullopt;
    const float m = static_cast<float>(*exact);
    const float bound = m + m;
    const double r = services_.random.next();
    const long double drawn = std::floor(static_cast<long double>(r) * bound);
    return core::longOf(static_cast<double>(drawn - std::floor(*exact)));
}

// floor(r x bound) whole seconds, r drawn from [0, 1).
std::optional<double> Player::randomLength(SettingBox bound)
{
    const auto v = numberOf(bound);
    if (!v)
        return std::nullopt;
    const double r = services_.random.next();
    return static_cast<float>(std::floor(static_cast<long double>(r) * static_cast<float>(*v)));
}

std::optional<double> Player::firstPassLength() const
{
    const auto seconds = numberOf(SettingBox::FirstPassWait);
    return seconds ? std::optional<double>(*core::integerOf(*seconds)) : std::nullopt;
}

} // namespace clickpath::playback
