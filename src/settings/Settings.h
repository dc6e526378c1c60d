#pragma once

#include "app/Controls.h"

namespace clickpath::app {
class ToolContext;
}

namespace clickpath::settings {

// The five pacing numbers live as the texts of their boxes; this gives them
// their persistence in the settings file and their one rule.
class Settings {
public:
    explicit Settings(app::ToolContext& tool);

    // Start-up: fills the five boxes from section "STATUS" of the settings file.
    void loadSettings();
    // A box about to lose the focus: a text that is not a number becomes "0"
    // and the focus stays. Returns the cancel flag.
    bool validate(app::TextBoxId box);
    // "SET": stores every box that holds a number, as typed.
    void Command5_Click();

    static constexpr int kValueCapacity = 256;

private:
    app::ToolContext& tool_;
};

} // namespace clickpath::settings
