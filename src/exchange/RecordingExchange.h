#pragma once

#include "platform/FileDialog.h"

#include <QString>

namespace clickpath::exchange {

// "Save" and "Load": whole-file copies between the working recording and a
// file chosen in the standard dialogs. Recordings are never parsed here.
class RecordingExchange {
public:
    RecordingExchange(platform::FileDialog& dialog, QString workingRecording);

    // Copies the working recording to a chosen file. Throws, and copies
    // nothing, when there is no recording yet or the copy fails.
    void save();
    // Copies a chosen file over the working recording; throws when that fails.
    void load();

    static const char* const kFilter;

private:
    // The chosen file, unless the user cancelled or chose the working
    // recording itself, under any of its names.
    std::optional<QString> otherThanWorking(const std::optional<QString>& chosen) const;

    platform::FileDialog& dialog_;
    QString working_;
};

} // namespace clickpath::exchange
