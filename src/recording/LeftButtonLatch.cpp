#include "recording/LeftButtonLatch.h"

#include "core/RecordingFormat.h"

namespace clickpath::recording {

void LeftButtonLatch::pressed()
{
    down_ = true;
    pressSeen_ = true;
}

void LeftButtonLatch::released()
{
    down_ = false;
}

void LeftButtonLatch::reset()
{
    down_ = false;
    pressSeen_ = false;
}

std::int32_t LeftButtonLatch::takeLineValue()
{
    const bool held = down_ || pressSeen_;
    pressSeen_ = false;
    return held ? core::kButtonHeld : core::kButtonUp;
}

} // namespace clickpath::recording
