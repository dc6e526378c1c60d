#pragma once

#include "core/Controls.h"
#include "core/RecordingFormat.h"
#include "platform/Pointer.h"
#include "recording/LeftButtonLatch.h"

#include <QString>

#include <memory>

namespace clickpath::recording {

// "Rec": one line per recording tick with the pointer's position and the left
// button's state, until it is stopped.
class Recorder {
public:
    Recorder(core::Controls& controls, platform::Pointer& pointer, LeftButtonLatch& latch, QString path);

    // Starts a new recording, replacing the file's content. Throws when the
    // file cannot be written or the desktop never tells the pointer's
    // position; nothing runs then.
    void start();
    // Appends one line. A line that cannot be written ends the recording,
    // keeping every whole line before it, and throws.
    void tick();
    // Ends a recording; every line written stays. Nothing when none runs.
    void stop();
    bool recording() const { return writer_ != nullptr; }
    std::int64_t linesWritten() const { return linesWritten_; }

private:
    core::Controls& controls_;
    platform::Pointer& pointer_;
    LeftButtonLatch& latch_;
    QString path_;
    std::unique_ptr<core::RecordingWriter> writer_;
    platform::ScreenPoint cursor_;  // the last position the pointer could tell
    std::int64_t linesWritten_ = 0; // by this recording
};

} // namespace clickpath::recording
