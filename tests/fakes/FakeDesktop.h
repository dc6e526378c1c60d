#pragma once

#include "app/Form1.h"

#include <QStringList>
#include <QTemporaryDir>

#include <deque>
#include <functional>
#include <map>
#include <ostream>
#include <vector>

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

// Plain fields in place of widgets.
struct FakeControls final : core::Controls {
    FakeControls() { setBoxes("180"); }
    QString boxText(SettingBox box) const override { return boxes.at(box); }
    void setBoxText(SettingBox box, const QString& text) override { boxes[box] = text; }
    void setLabelText(Label label, const QString& text) override { shown[label] << text; }
    void setLabelColour(Label label, core::TextColour colour) override { colours[label] = colour; }
    bool loopChecked() const override { return loop; }
    void setTickRunning(Tick tick, bool running) override { ticks[tick] = running; }
    void setCommandButtonsEnabled(bool enabled) override { commandsEnabled = enabled; }
    void showPointerPosition(std::int32_t x, std::int32_t y) override;
    void repaintNow() override { ++repaints; }

    // What a label shows now, and what it showed, repeats folded.
    QString text(Label label) { return shown[label].value(shown[label].size() - 1); }
    QStringList history(Label label);
    void setBoxes(const QString& text);

    std::map<SettingBox, QString> boxes;
    std::map<Label, QStringList> shown;
    std::map<Label, core::TextColour> colours;
    std::map<Tick, bool> ticks;
    bool commandsEnabled = true;
    bool loop = true;
    QString position; // "X:<x> Y:<y>", as the caption shows it
    int repaints = 0;
};

// One thing the desktop saw, in order.
struct InputEvent {
    enum Kind { Move, Press, Release } kind;
    std::int32_t x;
    std::int32_t y;
    bool operator==(const InputEvent&) const = default;
};
void PrintTo(const InputEvent& event, std::ostream* out);
inline InputEvent move(int x, int y)
{
    return {InputEvent::Move, x, y};
}
inline InputEvent press(int x, int y)
{
    return {InputEvent::Press, x, y};
}
inline InputEvent release(int x, int y)
{
    return {InputEvent::Release, x, y};
}

struct FakePointer final : platform::Pointer, platform::ButtonInjector {
    std::optional<platform::ScreenPoint> position() override;
    void moveTo(std::int32_t toX, std::int32_t toY) override;
    void pressLeft() override { see(InputEvent::Press, true); }
    void releaseLeft() override { see(InputEvent::Release, false); }
    void see(InputEvent::Kind kind, bool nowDown);
    std::vector<InputEvent> buttons() const; // the presses and releases alone

    std::vector<InputEvent> events;
    std::int32_t x = 0, y = 0;
    bool down = false;
    bool failQuery = false;
    std::function<void()> beforeMove; // a fault to inject
};

struct FakeClock final : platform::Clock {
    double seconds() override { return now; }
    double now = 1000.0;
};

// Hands out the queued values, then `fallback`.
struct ScriptedRandom final : platform::RandomSource {
    double next() override;
    std::deque<double> values;
    double fallback = 0.5;
};

// Each pump moves the clock on to the time it may block until, or to the
// first action due before, and runs the actions then due, as events
// delivered inside a wait would run. Time always moves, by 1 us at least.
struct FakeEventPump final : platform::EventPump {
    explicit FakeEventPump(FakeClock& clock)
        : clock_(clock)
    {
    }
    void pumpOnce(double seconds) override;
    // Runs `action` at the first pump at or after `when` seconds.
    void at(double when, std::function<void()> action) { timed_.emplace_back(when, std::move(action)); }
    int pumps = 0;

private:
    FakeClock& clock_;
    std::vector<std::pair<double, std::function<void()>>> timed_;
};

struct FakeMessages final : platform::MessageSink {
    void showError(const QString& text) override { errors << text; }
    void showWarning(const QString& text) override { errors << text; }
    QStringList errors;
};

// Answers each showing with the next scripted choice; none cancels.
struct FakeFileDialog final : platform::FileDialog {
    std::optional<QString> chooseFileToOpen(const QString& preset, const QString& filter) override;
    std::optional<QString> chooseFileToSave(const QString& preset, const QString& filter) override;
    std::deque<std::optional<QString>> choices;
    QStringList shown; // "open|save <preset> <filter>" per showing
};

// A system mouse whose items the test pushes.
struct FakeMouse final : platform::MouseButtonSource {
    void start(int bufferSize, std::function<void()> itemsWaiting) override;
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
    platform::Services services();

    FakePointer pointer;
    FakeClock clock;
    ScriptedRandom random;
    FakeEventPump pump{clock};
    FakeMessages messages;
    FakeMouse* mouse = nullptr; // owned by the watcher once opened
    bool refuseMouse = false;
};

// The whole tool on the fake desktop, its files in a fresh temporary folder.
class Harness {
public:
    // Started as the window starts, unless `load` is false.
    explicit Harness(bool load = true);

    app::Form1& form() { return form_; }
    const playback::Player& player() const { return form_.player(); }
    QString path(const QString& name) const { return dir_.filePath(name); }
    void writeRecording(const std::string& bytes) const;
    std::string readRecording() const;
    // Ticks the playback while it runs, at most `limit` times; returns how often.
    int runPlayback(int limit = 10000);
    void left(std::initializer_list<bool> edges) { desk.mouse->click(platform::MouseButton::Left, edges); }
    void rightClick() { desk.mouse->click(platform::MouseButton::Right, {true, false}); }

    FakeDesktop desk;
    FakeControls controls;
    FakeFileDialog dialog;

private:
    QTemporaryDir dir_;
    app::Form1 form_;
};

std::string readFile(const QString& path);
void writeFile(const QString& path, const std::string& bytes);

} // namespace clickpath::fakes
