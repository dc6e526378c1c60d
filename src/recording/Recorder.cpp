#include "recording/Recorder.h"

namespace clickpath::recording {

Recorder::Recorder(platform::Pointer& pointer, platform::Ticker& ticker, RecordingObserver& observer, QString path)
    : pointer_(pointer)
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
    ticker_.startTicking();
}

void Recorder::tick()
{
    if (!writer_)
        return;
    // A failed query keeps the last position, as the line then shows.
    if (const auto at = pointer_.position())
        cursor_ = *at;
    try {
        writer_->append({cursor_.x, cursor_.y, latch_.takeLineValue()});
    } catch (const std::exception&) {
        stop();
        throw;
    }
    observer_.lineRecorded(++linesWritten_, cursor_.x, cursor_.y);
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
