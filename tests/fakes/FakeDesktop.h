#pragma once

#include "app/Form1.h"
#include "platform/ToolError.h"

#include <QStringList>
#include <QTemporaryDir>

#include <deque>
#include <functional>
#include <map>
#include <ostream>

// Qt's strings in test failures, as text.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

// The fake desktop: one fake per platform interface, with a fake clock that
// the fake pump moves on. The logic runs on it without a display or a sleep.
namespace clickpath::fakes {

using core::Label;
using core::SettingBox;
using core::Tick;

// Plain fields in place of widgets; every text a label showed is kept.
struct FakeControls final : core::Controls {
    FakeControls() { setBoxes("180"); }
    QString boxText(SettingBox box) const override { return boxes.at(box); }
    void setBoxText(SettingBox box, const QString& text) override { boxes[box] = text; }
    void setLabelText(Label label, const QString& text) override { shown[label] << text; }
    void setLabelColour(Label label, core::TextColour colour) override { colours[label] = colour; }
    bool loopChecked() const override { return loop; }
    void setTickRunning(Tick tick, bool running) override { ticks[tick] = running; }
    void setCommandButtonsEnabled(bool enabled) override { commandsEnabled = enabled; }
    void showPointerPosition(int x, int y) override { position = QStringLiteral("X:%1 Y:%2").arg(x).arg(y); }
    void repaintNow() override { ++repaints; }

    QString text(Label label) { return shown[label].value(shown[label].size() - 1); }
    QString history(Label label);        // what the label showed, repeats folded, joined by blanks
    void setBoxes(const QString& texts); // Sleep, Click, VM, HM, 1st., or one text for all

    std::map<SettingBox, QString> boxes;
    std::map<Label, QStringList> shown;
    std::map<Label, core::TextColour> colours;
    std::map<Tick, bool> ticks;
    bool commandsEnabled = true;
    bool loop = true;
    QString position; // "X:<x> Y:<y>", as the caption shows it
    int repaints = 0;
};

// The pointer's trail: moves as "x,y", and P or R for a press or release
// where it stands, as in "10,20 11,21 P 12,22 R".
struct FakePointer final : platform::Pointer, platform::ButtonInjector {
    std::optional<platform::ScreenPoint> position() override
    {
        return failQuery ? std::nullopt : std::optional(platform::ScreenPoint{x, y});
    }
    void requirePosition() override
    {
        if (!positionUnknown.empty())
            throw ToolError(positionUnknown);
    }
    void moveTo(std::int32_t toX, std::int32_t toY) override;
    void pressLeft() override { trail << "P"; }
    void releaseLeft() override { trail << "R"; }
    bool down() const { return trail.lastIndexOf("P") > trail.lastIndexOf("R"); }

    QString path() const { return trail.join(' '); }

    QStringList trail;
    std::int32_t x = 0, y = 0;
    bool failQuery = false;
    std::string positionUnknown;      // why the desktop never tells the position, if it does not
    std::function<void()> beforeMove; // a fault to inject

private:
    QString lastMove_;
};

struct FakeClock final : platform::Clock {
    double seconds() override { return now; }
    double now = 1000.0;
};

// Hands out the queued values, then 0.5.
struct ScriptedRandom final : platform::RandomSource {
    double next() override
    {
        const double value = values.empty() ? 0.5 : values.front();
        if (!values.empty())
            values.pop_front();
        return value;
    }
    std::deque<double> values;
};

// Each pump moves the clock on to the time it may block until, or to the
// first action due before, and runs the actions then due, as events
// delivered inside a wait would run. Time always moves, by 1 us at least.
struct FakeEventPump final : platform::EventPump {
    void pumpOnce(double seconds) override;
    void at(double when, std::function<void()> action) { timed.emplace(when, std::move(action)); }
    FakeClock* clock = nullptr;
    std::multimap<double, std::function<void()>> timed;
    int pumps = 0;
};

struct FakeMessages final : platform::MessageSink {
    void showError(const QString& text) override { errors << text; }
    void showWarning(const QString& text) override { errors << text; }
    QStringList errors;
};

// Answers each showing with the next scripted choice; none cancels.
struct FakeFileDialog final : platform::FileDialog {
    using Choice = std::optional<QString>;
    Choice chooseFileToOpen(const QString& at, const QString& f) override { return choose("open", at, f); }
    Choice chooseFileToSave(const QString& at, const QString& f) override { return choose("save", at, f); }
    Choice choose(const QString& kind, const QString& preset, const QString& filter);
    std::deque<Choice> choices;
    QStringList shown;
};

// A system mouse whose items the test pushes.
struct FakeMouse final : platform::MouseButtonSource {
    void start(int size, std::function<void()> itemsWaiting) override { (capacity = size, notify = itemsWaiting); }
    void stop() override { notify = nullptr; }
    std::size_t read(std::span<platform::ButtonItem> out) override;
    void resume() override { ++resumes; }
    void takeWaiting() override {} // pushed items are in at once
    // Pushes the edges of one button and notifies, as the device would.
    void click(platform::MouseButton button, std::initializer_list<bool> edges);

    std::deque<platform::ButtonItem> pending;
    std::function<void()> notify;
    int capacity = 0;
    int resumes = 0;
    bool failNextRead = false;
};

// Every fake of the desktop, as the platform's services.
struct FakeDesktop {
    FakeDesktop() { pump.clock = &clock; }
    platform::Services services();

    FakePointer pointer;
    FakeClock clock;
    ScriptedRandom random;
    FakeEventPump pump;
    FakeMessages messages;
    FakeMouse* mouse = nullptr;                     // owned by the watcher once opened
    std::deque<platform::ButtonItem> waitingAtOpen; // what the mouse holds when it is opened
    bool refuseMouse = false;
};

std::string readFile(const QString& path);
void writeFile(const QString& path, const std::string& bytes);

// What the `Error` that `act` throws says, or "none".
template <typename Error>
std::string errorOf(const std::function<void()>& act)
{
    try {
        act();
    } catch (const Error& error) {
        return error.what();
    }
    return "none";
}

// The whole tool on the fake desktop, its files in a fresh temporary folder.
struct Harness {
    // Started as the window starts, unless `load` is false.
    explicit Harness(bool load = true)
        : form(controls, desk.services(), dialog, core::AppPaths(dir.path(), "clickpath"))
    {
        if (load)
            form.Form_Load();
    }
    const playback::Player& player() const { return form.player(); }
    QString path(const QString& name) const { return dir.filePath(name); }
    void writeRecording(const std::string& bytes) const { writeFile(path("clickpath.txt"), bytes); }
    std::string readRecording() const { return readFile(path("clickpath.txt")); }
    // Ticks the playback while it runs, ten milliseconds apart, at most `limit` times.
    void runPlayback(int limit = 10000);
    void left(std::initializer_list<bool> edges) { desk.mouse->click(platform::MouseButton::Left, edges); }
    void rightClick() { desk.mouse->click(platform::MouseButton::Right, {true, false}); }

    QTemporaryDir dir;
    FakeDesktop desk;
    FakeControls controls;
    FakeFileDialog dialog;
    app::Form1 form;
};

} // namespace clickpath::fakes
