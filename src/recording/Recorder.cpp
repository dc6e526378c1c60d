#include "recording/Recorder.h"

#include "core/Tick.h"
#include "core/ToolError.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <vector>

namespace clickpath::recording {

namespace {

constexpr double kLineSeconds = std::chrono::duration<double>(core::kTickInterval).count();

} // namespace

Recorder::Recorder(
    const platform::Services& services, platform::Ticker& ticker, RecordingObserver& observer, QString path)
    : pointer_(services.pointer)
    , clock_(services.clock)
    , session_(services.session)
    , ticker_(ticker)
    , observer_(observer)
    , path_(std::move(path))
{
}

void Recorder::start()
{
    if (!session_.active())
        throw ToolError(platform::kInactiveSession);
    pointer_.startTracking(); // before anything changes
    state_ = State::Awaiting;
    awaitingSince_ = clock_.seconds();
    observer_.recordingStarted();
    try {
        lookForFirstPosition();
    } catch (const std::exception&) {
        end();
        throw;
    }
}

// Until the desktop tells where the pointer is, a line would hold no
// position of its own; a desktop that answers at once records at once.
void Recorder::lookForFirstPosition()
{
    const std::optional<platform::ScreenPoint> at = pointer_.position();
    if (!at) {
        if (clock_.seconds() - awaitingSince_ >= kFirstPositionLimit)
            throw ToolError("The desktop told no position of the pointer within 5 s, so nothing was recorded.");
        return ticker_.wakeAfter(kLineSeconds);
    }
    cursor_ = *at;
    writer_ = std::make_unique<platform::RecordingFileWriter>(path_);
    latch_.start();
    state_ = State::Recording;
    linesWritten_ = 0;
    startedAt_ = clock_.seconds();
    ticker_.startTicking();
}

// The lines due by now and not written yet; those of a stall beyond the
// longest made up are given up.
std::int64_t Recorder::linesOwed()
{
    constexpr auto kMost = static_cast<std::int64_t>(Recorder::kLongestStallMadeUp / kLineSeconds);
    const auto due = static_cast<std::int64_t>(std::llround((clock_.seconds() - startedAt_) / kLineSeconds));
    const std::int64_t owed = due - linesWritten_;
    if (owed > kMost)
        startedAt_ += static_cast<double>(owed - kMost) * kLineSeconds;
    return std::clamp<std::int64_t>(owed, 0, kMost);
}

void Recorder::tick()
{
    try {
        if (state_ == State::Awaiting)
            lookForFirstPosition();
        else if (state_ == State::Recording)
            writeLines();
    } catch (const std::exception&) {
        end();
        throw;
    }
}

void Recorder::writeLines()
{
    const std::int64_t owed = linesOwed();
    if (owed == 0)
        return; // a tick the grid made up after this one's lines: no query
    // A failed query keeps the last position, as the line then shows.
    if (const auto at = pointer_.position())
        cursor_ = *at;
    lines_.resize(static_cast<std::size_t>(owed));
    for (core::Record& line : lines_)
        line = {cursor_.x, cursor_.y, latch_.takeLineValue()};
    writer_->append(lines_);
    linesWritten_ += owed;
    observer_.lineRecorded(linesWritten_, cursor_.x, cursor_.y);
}

bool Recorder::stop()
{
    if (state_ == State::Idle)
        return false;
    end();
    return true;
}

void Recorder::end()
{
    ticker_.stop();
    writer_.reset();
    latch_.stop();
    state_ = State::Idle;
    pointer_.stopTracking();
    observer_.recordingEnded();
}

} // namespace clickpath::recording
