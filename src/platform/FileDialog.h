#pragma once

#include <QString>

#include <cstdint>

namespace clickpath::platform {

// Dialog flags, with their common-dialog values.
constexpr std::int32_t kFileMustExist = 0x1000;
constexpr std::int32_t kHideReadOnly = 0x4;
constexpr std::int32_t kPathMustExist = 0x800;
constexpr std::int32_t kOverwritePrompt = 0x2;

// The standard open and save dialogs, as one control with properties that are
// set before each showing. On OK fileName() is the chosen full path; on Cancel
// it keeps the value it had.
class FileDialog {
public:
    virtual ~FileDialog() = default;
    // Filter as "description|pattern[|description|pattern...]".
    virtual void setFilter(const QString& filter) = 0;
    virtual void setFlags(std::int32_t flags) = 0;
    virtual void setFileName(const QString& fileName) = 0;
    virtual QString fileName() const = 0;
    // Modal; returns when the user has chosen or cancelled.
    virtual void showOpen() = 0;
    virtual void showSave() = 0;
};

// Whole-file copies that never leave a destination half written.
class FileCopier {
public:
    virtual ~FileCopier() = default;
    // Replaces `destination` by an exact copy of `source`; on any failure the
    // destination is as it was and a ToolError names the path and the reason.
    virtual void copy(const QString& source, const QString& destination) = 0;
    // True when both names lead to one existing file (links, "..", letter case
    // on a file system that ignores it).
    virtual bool sameFile(const QString& first, const QString& second) = 0;
};

} // namespace clickpath::platform
