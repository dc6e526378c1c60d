#pragma once

#include "app/Controls.h"
#include "app/Form1.h"
#include "platform/AtomicFileCopier.h"
#include "platform/Clock.h"
#include "platform/FileDialog.h"
#include "platform/FileTable.h"
#include "platform/MessageSink.h"
#include "platform/MouseButtonSource.h"
#include "platform/Pointer.h"

#include <QStringList>
#include <QTemporaryDir>

#include <deque>
#include <functional>
#include <map>
#include <ostream>
#include <memory>
#include <string>
#include <vector>

namespace clickpath::fakes {

// Plain fields in place of widgets.
class FakeControls final : public app::Controls {
public:
    FakeControls();

    void setLabelCaption(app::LabelId label, const QString& caption) override
    {
        store(captions, label, caption);
        captionLog.emplace_back(label, caption);
    }
    void setLabelColour(app::LabelId label, std::uint32_t bgr) override { store(colours, label, bgr); }
    QString text(app::TextBoxId box) const override { return texts.at(box); }
    void setText(app::TextBoxId box, const QString& text) override { store(texts, box, text); }
    int checkValue() const override { return loopChecked ? 1 : 0; }
    void setTimerEnabled(app::TimerId timer, bool enabled) override { store(timers, timer, enabled); }
    void setCommandEnabled(app::CommandId command, bool enabled) override { store(commands, command, enabled); }
    void setCaption(const QString& caption) override
    {
        ++writes;
        windowCaption = caption;
    }
    void repaintNow() override { ++repaints; }

    bool allCommands(bool enabled) const;
    // The captions a label showed, one entry per change of text.
    QStringList history(app::LabelId label) const;
    // Texts as the user would set them: all five boxes at once.
    void setBoxes(const QString& sleep, const QString& click, const QString& vm, const QString& hm,
        const QString& first);

    std::vector<std::pair<app::LabelId, QString>> captionLog;
    int writes = 0; // every change made to any control
    std::map<app::LabelId, QString> captions;
    std::map<app::LabelId, std::uint32_t> colours;
    std::map<app::TextBoxId, QString> texts;
    std::map<app::TimerId, bool> timers;
    std::map<app::CommandId, bool> commands;
    bool loopChecked = true;
    QString windowCaption;
    int repaints = 0;

private:
    template <typename Map, typename Key, typename Value>
    void store(Map& map, Key key, const Value& value)
    {
        ++writes;
        map[key] = value;
    }
};

// One thing the fake desktop saw, in order.
struct InputEvent {
    enum Kind { Move, Press, Release } kind;
    std::int32_t x;
    std::int32_t y;
    bool operator==(const InputEvent&) const = default;
};

void PrintTo(const InputEvent& event, std::ostream* out);

class FakePointer final : public platform::Pointer, public platform::ButtonInjector {
public:
    std::optional<platform::ScreenPoint> position() override;
    void moveTo(std::int32_t x, std::int32_t y) override;
    void leftButton(bool down) override;

    std::vector<InputEvent> events;
    std::int32_t x = 0;
    std::int32_t y = 0;
    bool down = false;
    bool failQuery = false;
};

class FakeClock final : public platform::Clock {
public:
    double seconds() override { return now; }
    double now = 1000.0;
};

// Hands out the queued values, then `fallback`.
class ScriptedRandom final : public platform::RandomSource {
public:
    double next() override;
    std::deque<double> values;
    double fallback = 0.5;
};

// Each pump moves the fake clock on by `step` seconds and runs the actions
// that fall due, as events delivered inside a wait would run.
class FakeEventPump final : public platform::EventPump {
public:
    explicit FakeEventPump(FakeClock& clock) : clock_(clock) {}
    void pumpOnce() override;
    // Runs `action` at the first pump at or after `at` seconds.
    void at(double at, std::function<void()> action);
    // Runs `action` at the n-th pump from now (1 = the next one).
    void afterPumps(int n, std::function<void()> action);

    double step = 0.01;
    int pumps = 0;

private:
    FakeClock& clock_;
    std::vector<std::pair<double, std::function<void()>>> timed_;
    std::vector<std::pair<int, std::function<void()>>> counted_;
};

class FakeMessageSink final : public platform::MessageSink {
public:
    void showError(const QString& text) override { errors << text; }
    void showWarning(const QString& text) override { warnings << text; }
    QStringList errors;
    QStringList warnings;
};

// Answers each showing with the next scripted choice; an empty choice cancels.
class FakeFileDialog final : public platform::FileDialog {
public:
    void setFilter(const QString& filter) override { this->filter = filter; }
    void setFlags(std::int32_t flags) override { this->flags = flags; }
    void setFileName(const QString& fileName) override { name = fileName; }
    QString fileName() const override { return name; }
    void showOpen() override { answer(QStringLiteral("open")); }
    void showSave() override { answer(QStringLiteral("save")); }

    std::deque<QString> choices;
    QStringList shown;
    QString filter;
    std::int32_t flags = 0;
    QString name;
    QString presetSeen;

private:
    void answer(const QString& kind);
};

// A system mouse whose items the test pushes.
class FakeMouseSource final : public platform::MouseButtonSource {
public:
    void setBufferSize(int items) override { bufferSize = items; }
    std::int32_t createEvent(std::function<void(std::int32_t)> callback) override;
    void destroyEvent(std::int32_t eventId) override;
    void acquire() override { acquired = true; ++acquires; }
    void unacquire() override { acquired = false; }
    int readItems(platform::ButtonItem* out, int capacity) override;
    void takeWaiting() override {} // pushed items are in at once

    void push(std::int32_t offsetCode, std::int32_t data) { pending.push_back({offsetCode, data}); }
    // Calls the window's callback as a notification would.
    void notify();

    std::deque<platform::ButtonItem> pending;
    std::function<void(std::int32_t)> callback;
    std::int32_t eventId = 0;
    std::int32_t destroyedId = 0;
    int bufferSize = 0;
    bool acquired = false;
    int acquires = 0;
    bool failNextRead = false;
};

// The whole tool on fakes, its files in a fresh temporary folder.
class Harness {
public:
    Harness();

    app::Form1& form() { return *form_; }
    app::ToolState& state() { return form_->tool().state; }
    QString recordingPath() const { return paths_.workingRecordingPath(); }
    QString settingsPath() const { return paths_.settingsFilePath(); }
    QString dir() const { return temp_.path(); }

    void writeRecording(const std::string& bytes) const;
    std::string readRecording() const;
    // Ticks the playback timer while it is on, at most `limit` times.
    int runPlayback(int limit = 10000);

    FakeControls controls;
    FakePointer pointer;
    FakeClock clock;
    ScriptedRandom random;
    FakeEventPump pump{clock};
    FakeMessageSink messages;
    FakeFileDialog dialog;
    platform::AtomicFileCopier copier;
    platform::FileTable files;
    FakeMouseSource* mouse = nullptr; // owned by the tool once opened
    bool refuseMouse = false;

private:
    QTemporaryDir temp_;
    app::AppPaths paths_;
    std::unique_ptr<app::Form1> form_;
};

std::string readFile(const QString& path);
void writeFile(const QString& path, const std::string& bytes);

} // namespace clickpath::fakes
