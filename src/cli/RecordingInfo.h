#pragma once

#include <QString>

#include <cstdint>
#include <optional>

namespace clickpath::cli {

// What a recording will do when played, read without playing it.
struct RecordingInfo {
    std::int64_t records = 0;
    // Presses as the player sends them: a record of 128 while none is held; a
    // drag when the pointer moves before the release.
    std::int64_t clicks = 0;
    std::int64_t drags = 0;
    struct Area {
        std::int32_t left, top, right, bottom;
    };
    std::optional<Area> area; // the rectangle the records cover
    QString stop;             // why playing stops before the end, or empty
    std::int64_t stopLine = 0;

    double seconds() const { return static_cast<double>(records) / 100; }
};

// Streams the file record by record. Throws a ToolError when it cannot be read.
RecordingInfo readRecordingInfo(const QString& path);

// For people, one fact a line; or one JSON object.
QString describe(const QString& path, const RecordingInfo& info);
QString describeAsJson(const QString& path, const RecordingInfo& info);

} // namespace clickpath::cli
