#pragma once

#include "app/Form1.h"
#include "fakes/FakeDesktop.h"

// The window's handlers on the fake desktop, with plain fields in place of its widgets.
namespace clickpath::fakes {

using app::Label;
using app::TextColour;
using app::Tick;

// Every text a label showed is kept; the timers run on the fake clock.
struct FakeControls final : app::WindowControls, FakeBoxes {
    explicit FakeControls(FakeTime& time)
        : timers{time.ticker(), time.ticker()}
    {
    }
    QString boxText(SettingBox box) const override { return FakeBoxes::boxText(box); }
    void setBoxText(SettingBox box, const QString& text) override { FakeBoxes::setBoxText(box, text); }
    void setLabelText(Label label, const QString& text) override { shown[label] << text; }
    void setLabelColour(Label label, TextColour colour) override { colours[label] = colour; }
    bool loopChecked() const override { return loop; }
    platform::Ticker& timer(Tick tick) override { return *timers[static_cast<std::size_t>(tick)]; }
    void setCommandButtonsEnabled(bool enabled) override { commandsEnabled = enabled; }
    void showPointerPosition(int x, int y) override { position = QStringLiteral("X:%1 Y:%2").arg(x).arg(y); }
    void showStatus(const QString& text) override { position = text; }
    void repaintNow() override { ++repaints; }

    QString text(Label label) { return shown[label].value(shown[label].size() - 1); }
    QString history(Label label) { return folded(shown[label]); }
    bool running(Tick tick) { return timers[static_cast<std::size_t>(tick)]->ticking; } // on its grid

    std::unique_ptr<FakeTicker> timers[2];
    std::map<Label, QStringList> shown;
    std::map<Label, TextColour> colours;
    bool commandsEnabled = true;
    bool loop = true;
    QString position; // "X:<x> Y:<y>", or what the tool waits for, as the caption shows it
    int repaints = 0;
};

// The whole tool on the fake desktop, its files in a fresh temporary folder.
struct Harness {
    explicit Harness(bool load = true)
        : form(controls, desk.services(), dialog, core::AppPaths(dir.path(), "clickpath"))
    {
        controls.timer(Tick::Recording).onTick([this] { form.Timer1_Timer(); });
        controls.timer(Tick::Playback).onTick([this] { form.Timer2_Timer(); });
        if (load)
            form.Form_Load();
    }
    QString path(const QString& name) const { return dir.filePath(name); }
    void writeRecording(const std::string& bytes) const { writeFile(path("clickpath.txt"), bytes); }
    std::string readRecording() const { return readFile(path("clickpath.txt")); }
    void rightClick() { desk.mouse->click(platform::MouseButton::Secondary, {true, false}); }

    QTemporaryDir dir;
    FakeDesktop desk;
    FakeControls controls{desk.time};
    FakeFileDialog dialog;
    app::Form1 form;
};

} // namespace clickpath::fakes
