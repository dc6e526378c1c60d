#pragma once

#include "core/Controls.h"
#include "platform/Pointer.h"
#include "platform/qt/GridTimer.h"

#include <array>
#include <functional>
#include <map>
#include <memory>

namespace clickpath::cli {

// What recording and playback drive when they run from a terminal: the five
// numbers as given, the ticks on grid timers, and what the window's labels
// and caption would show, kept for the progress line. There are no buttons.
class TerminalControls final : public core::Controls {
public:
    TerminalControls();

    QString boxText(core::SettingBox box) const override;
    void setBoxText(core::SettingBox box, const QString& text) override { boxes_[box] = text; }
    void setLabelText(core::Label label, const QString& text) override;
    void setLabelColour(core::Label label, core::TextColour colour) override;
    bool loopChecked() const override { return loopTest && loopTest(); }
    void setTickRunning(core::Tick tick, bool running) override;
    void setCommandButtonsEnabled(bool) override {}
    void showPointerPosition(std::int32_t x, std::int32_t y) override;
    void repaintNow() override {}

    platform::qt::GridTimer& tick(core::Tick tick) { return *ticks_[static_cast<std::size_t>(tick)]; }
    bool tickRunning(core::Tick tick) { return this->tick(tick).isActive(); }
    // The wait that runs ("click wait"...) once it counts down, or empty.
    QString runningWait() const;
    QString label(core::Label label) const;
    platform::ScreenPoint pointer() const { return pointer_; }

    // Whether playback starts again after a pass: "LOOP".
    std::function<bool()> loopTest;
    // Runs after every change that the progress line shows.
    std::function<void()> changed;

private:
    void notify();

    std::map<core::SettingBox, QString> boxes_;
    std::map<core::Label, QString> labels_;
    std::map<core::Label, core::TextColour> colours_;
    std::array<std::unique_ptr<platform::qt::GridTimer>, 2> ticks_;
    platform::ScreenPoint pointer_;
};

} // namespace clickpath::cli
