#include "recording/LeftButtonLatch.h"

#include "core/RecordingFormat.h"

namespace clickpath::recording {

std::int32_t LeftButtonLatch::planned() const
{
    return owed_.empty() ? shown_ : owed_.back();
}

void LeftButtonLatch::pressed()
{
    if (!started_)
        return;
    // A press whose release went missing still starts a run of its own.
    if (planned() == core::kButtonHeld)
        owed_.push_back(core::kButtonUp);
    owed_.push_back(core::kButtonHeld);
}

void LeftButtonLatch::released()
{
    if (!started_)
        return;
    // The release of a press from before the recording changes nothing.
    if (planned() == core::kButtonHeld)
        owed_.push_back(core::kButtonUp);
}

void LeftButtonLatch::start()
{
    owed_.clear();
    shown_ = core::kButtonUp;
    started_ = true;
}

void LeftButtonLatch::stop()
{
    owed_.clear();
    started_ = false;
}

std::int32_t LeftButtonLatch::takeLineValue()
{
    if (!owed_.empty()) {
        shown_ = owed_.front();
        owed_.pop_front();
    }
    return shown_;
}

} // namespace clickpath::recording
