#pragma once

#include <cstdint>

namespace clickpath::recording {

// What recording tells the program's face. Every event has a default that
// ignores it.
class RecordingObserver {
public:
    virtual ~RecordingObserver() = default;
    virtual void recordingStarted() {}
    // The `lines`th line is written, with the pointer at (x, y).
    virtual void lineRecorded(std::int64_t /*lines*/, std::int32_t /*x*/, std::int32_t /*y*/) {}
    // Every line written stays; also after a start that could not open the file.
    virtual void recordingEnded() {}
};

} // namespace clickpath::recording
