#include "recording/Recorder.h"

#include "core/Tick.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <vector>

namespace clickpath::recording {

namespace {

constexpr double kLineSeconds = std::chrono::duration<double>(core::kTickInterval).count();

} // namespace

Recorder::Recorder(platform::Pointer& pointer, platform::Clock& clock, platform::Ticker& ticker,
    RecordingObserver& observer, QString path)
    : pointer_(pointer)
    , clock_(clock)
    , ticker_(ticker)
    , observer_(observer)
    , path_(std::move(path))
{
}

void Recorder::start()
{
    pointer_.requirePosition(); // before anything changes
    latch_.start();
    observer_.recordingStarted();
    try {
        writer_ = std::make_unique<core::RecordingWriter>(path_);
    } catch (const std::exception&) {
        latch_.stop();
        observer_.recordingEnded();
        throw;
    }
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
    if (!writer_)
        return;
    // A failed query keeps the last position, as the line then shows.
    if (const auto at = pointer_.position())
        cursor_ = *at;
    std::vector<core::Record> lines(static_cast<std::size_t>(linesOwed()));
    if (lines.empty())
        return; // a tick the grid made up after this one's lines
    for (core::Record& line : lines)
        line = {cursor_.x, cursor_.y, latch_.takeLineValue()};
    try {
        writer_->append(lines);
    } catch (const std::exception&) {
        stop();
        throw;
    }
    linesWritten_ += static_cast<std::int64_t>(lines.size());
    observer_.lineRecorded(linesWritten_, cursor_.x, cursor_.y);
}

void Recorder::stop()
{
    if (!writer_)
        return;
    ticker_.stop();
    writer_.reset();
    latch_.stop();
    observer_.recordingEnded();
}

} // namespace clickpath::recording
