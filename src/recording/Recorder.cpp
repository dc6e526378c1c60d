#include "recording/Recorder.h"

namespace clickpath::recording {

using core::Label;
using core::Tick;

Recorder::Recorder(core::Controls& controls, platform::Pointer& pointer, LeftButtonLatch& latch, QString path)
    : controls_(controls)
    , pointer_(pointer)
    , latch_(latch)
    , path_(std::move(path))
{
}

void Recorder::start()
{
    // Before anything changes: the file and the controls stay as they are.
    pointer_.requirePosition();
    controls_.setTickRunning(Tick::Recording, true);
    controls_.setCommandButtonsEnabled(false);
    controls_.setLabelText(Label::ClickShown, QString());
    latch_.start();
    controls_.setLabelText(Label::PassCount, QString());
    try {
        writer_ = std::make_unique<core::RecordingWriter>(path_);
        linesWritten_ = 0;
    } catch (const std::exception&) {
        // No tick may run without an open file.
        latch_.stop();
        controls_.setTickRunning(Tick::Recording, false);
        controls_.setCommandButtonsEnabled(true);
        throw;
    }
}

void Recorder::tick()
{
    if (!writer_)
        return; // a tick that was due when the recording stopped
    // A failed query keeps the last position, as the line then shows.
    if (const auto at = pointer_.position())
        cursor_ = *at;
    controls_.showPointerPosition(cursor_.x, cursor_.y);
    try {
        writer_->append({cursor_.x, cursor_.y, latch_.takeLineValue()});
        ++linesWritten_;
    } catch (const std::exception&) {
        stop();
        controls_.setCommandButtonsEnabled(true);
        throw;
    }
}

void Recorder::stop()
{
    controls_.setTickRunning(Tick::Recording, false);
    writer_.reset();
    latch_.stop();
}

} // namespace clickpath::recording
