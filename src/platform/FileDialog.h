#pragma once

#include <QString>

#include <optional>

namespace clickpath::platform {

// The desktop's standard file dialogs, modal to the window. `preset` is the
// full path offered at first; `filter` reads "description|pattern". Each
// returns the chosen full path, or nothing when the user cancels.
class FileDialog {
public:
    virtual ~FileDialog() = default;
    // The name of a file that exists.
    virtual std::optional<QString> chooseFileToOpen(const QString& preset, const QString& filter) = 0;
    // A name in a folder that exists; an existing file is replaced only once
    // the user has confirmed it. A name without an extension stays so.
    virtual std::optional<QString> chooseFileToSave(const QString& preset, const QString& filter) = 0;
};

} // namespace clickpath::platform
