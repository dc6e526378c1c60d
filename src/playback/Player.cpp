#include "playback/Player.h"

#include "core/NumberText.h"
#include "platform/ToolError.h"

#include <cmath>

namespace clickpath::playback {

using core::Label;
using core::SettingBox;
using core::Tick;

Player::Player(core::Controls& controls, const platform::Services& services, QString path)
    : controls_(controls)
    , services_(services)
    , path_(std::move(path))
{
}

void Player::startPass()
{
    reader_ = std::make_unique<core::RecordingReader>(path_);
    recordsPlayed_ = 0;
    stopFlag_ = false;
    controls_.setCommandButtonsEnabled(false);
    if (!looping_) {
        loopCount_ = 0;
        controls_.setLabelText(Label::PassCount, QStringLiteral("0"));
    }
    controls_.setLabelText(Label::ClickShown, QString());
    passCount_ = core::checkedSum(passCount_, 1, "pass count");
    controls_.setTickRunning(Tick::Playback, true);
}

void Player::tick()
{
    // A tick that falls due while a step is inside a wait starts nothing, nor
    // does one that comes after its pass has ended.
    if (stepRunning_ || !reader_ || closed_)
        return;
    stepRunning_ = true;
    StepEnd end = StepEnd::PassEnds;
    std::optional<QString> internalError;
    try {
        end = step();
    } catch (const ToolError&) {
        // The end of the recording, a bad record, a box that is no number, an
        // overflow: the pass ends, and with "LOOP" starts again.
    } catch (const std::exception& error) {
        end = StepEnd::InternalError;
        internalError = QString::fromLocal8Bit(error.what());
    }
    // A stop seen in the last pumping of a wait, after its stop test.
    if (end == StepEnd::Continue && stopFlag_)
        end = StepEnd::Stopped;
    if (end != StepEnd::Continue && !closed_)
        endPass(end);
    stepRunning_ = false;
    if (internalError && !closed_)
        services_.messages.showError(QStringLiteral("Internal error: %1").arg(*internalError));
}

Player::StepEnd Player::step()
{
    const core::Record record = reader_->next(); // throws at the end of the recording
    ++recordsPlayed_;
    moveTo(record);
    if (record.button == core::kButtonHeld && !pressSent_)
        pressEdge(record);
    else if (record.button == core::kButtonUp && pressSent_)
        return releaseEdge();
    return StepEnd::Continue;
}

// To the record plus the click offsets in force, and shows it.
void Player::moveTo(const core::Record& record)
{
    const std::int32_t x = core::checkedSum(offsetX_, record.x, "pointer position");
    const std::int32_t y = core::checkedSum(record.y, offsetY_, "pointer position");
    services_.pointer.moveTo(x, y);
    controls_.showPointerPosition(x, y);
}

void Player::pressEdge(const core::Record& record)
{
    offsetX_ = drawOffset(SettingBox::HorizontalMargin);
    offsetY_ = drawOffset(SettingBox::VerticalMargin);
    moveTo(record);
    services_.injector.pressLeft();
    pressSent_ = true;
    controls_.setLabelText(Label::ClickShown, QStringLiteral("Click!"));
    controls_.repaintNow();
}

Player::StepEnd Player::releaseEdge()
{
    // The pointer stands at the release record plus the press's offsets.
    sendRelease();
    controls_.setLabelText(Label::ClickShown, QString());
    switch (waitsAfterRelease()) {
    case WaitEnd::Stopped:
        return StepEnd::Stopped;
    case WaitEnd::Closed:
        return StepEnd::Closed;
    case WaitEnd::TimeRanOut:
        break;
    }
    return StepEnd::Continue;
}

void Player::sendRelease()
{
    services_.injector.releaseLeft();
    pressSent_ = false;
    offsetX_ = 0;
    offsetY_ = 0;
}

void Player::releaseHeldPress()
{
    if (!pressSent_)
        return;
    sendRelease();
    if (!closed_)
        controls_.setLabelText(Label::ClickShown, QString());
}

std::int32_t Player::drawOffset(SettingBox margin)
{
    const QString what = core::captionOf(margin);
    const float m = core::toSingle(controls_.boxText(margin), what);
    const float bound = m + m;
    const double r = services_.random.next();
    const long double drawn = std::floor(static_cast<long double>(r) * bound);
    const double marginFloor = std::floor(core::toDouble(controls_.boxText(margin), what));
    return core::toLong(static_cast<double>(drawn - marginFloor), what);
}

void Player::stop()
{
    passCount_ = 0; // the next "Auto" is a first pass again
    looping_ = false;
    stopFlag_ = true;
    if (reader_ && !stepRunning_)
        endPass(StepEnd::Stopped);
}

void Player::close()
{
    closed_ = true;
    controls_.setTickRunning(Tick::Playback, false);
    reader_.reset();
    try {
        releaseHeldPress();
    } catch (const std::exception&) {
        // Nothing is reported at shutdown.
    }
}

} // namespace clickpath::playback
