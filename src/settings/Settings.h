#pragma once

#include "core/PacingNumbers.h"

#include <QString>

namespace clickpath::settings {

// The five pacing numbers live as the texts of their boxes; this gives them
// their persistence in section "STATUS" of the settings file, and their one
// rule: a box holds a number.
class Settings {
public:
    Settings(core::SettingBoxes& boxes, QString path);

    // Start-up: each box gets its key's value, cut to 255 bytes, unchecked;
    // an absent key, section or file leaves the box empty.
    void load();
    // A box about to lose the focus: a text that is not a number becomes "0",
    // and the focus stays. True when the focus may not leave.
    bool refusesFocusChange(core::SettingBox box);
    // "SET": stores every box that holds a number, exactly as typed; the
    // others keep what the file had. Throws when the file cannot be written.
    void store();

private:
    core::SettingBoxes& boxes_;
    QString path_;
};

} // namespace clickpath::settings
