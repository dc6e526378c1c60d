#pragma once

#include "app/Form1.h"
#include "platform/ToolError.h"

#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include <algorithm>
#include <csignal>
#include <deque>
#include <functional>
#include <map>
#include <ostream>
#include <sys/resource.h>

inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

// The fake desktop: a fake per platform interface, with a fake time; the logic runs on it with no display or sleep.
namespace clickpath::fakes {

using core::Label;
using core::SettingBox;
using core::Tick;
using platform::ScreenPoint;

// The texts joined by blanks, each run of equal ones once.
inline QString folded(QStringList texts)
{
    texts.erase(std::unique(texts.begin(), texts.end()), texts.end());
    return texts.join(' ');
}

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
    QString history(Label label) { return folded(shown[label]); }
    void setBoxes(const QString& texts) // Sleep, Click, VM, HM, 1st., or one text for all
    {
        const QStringList split = texts.split(' ');
        for (const SettingBox box : core::kSettingBoxes)
            boxes[box] = split.size() == 1 ? texts : split.value(static_cast<int>(box));
    }

    std::map<SettingBox, QString> boxes;
    std::map<Label, QStringList> shown;
    std::map<Label, core::TextColour> colours;
    std::map<Tick, bool> ticks;
    bool commandsEnabled = true;
    bool loop = true;
    QString position; // "X:<x> Y:<y>", as the caption shows it
    int repaints = 0;
};

// The pointer's trail: moves as "x,y", and P or R for a press or release where it stands: "10,20 11,21 P 12,22 R".
struct FakePointer final : platform::Pointer, platform::ButtonInjector {
    std::optional<ScreenPoint> position() override { return lost ? std::nullopt : std::optional(ScreenPoint{x, y}); }
    void moveTo(std::int32_t toX, std::int32_t toY) override
    {
        beforeMove();
        if (trail.isEmpty() || toX != x || toY != y) // a move onto its own spot shows no more
            trail << QStringLiteral("%1,%2").arg(toX).arg(toY);
        (x = toX, y = toY);
    }
    void requirePosition() override
    {
        if (!positionUnknown.empty())
            throw ToolError(positionUnknown);
    }
    void pressLeft() override { trail << "P"; }
    void releaseLeft() override { trail << "R"; }
    bool down() const { return trail.lastIndexOf("P") > trail.lastIndexOf("R"); }
    QString path() const { return trail.join(' '); }

    QStringList trail;
    std::int32_t x = 0, y = 0;
    bool lost = false;                        // the pointer has no position to give
    std::string positionUnknown;              // why the desktop never tells the position, if it does not
    std::function<void()> beforeMove = [] {}; // a fault to inject
};

struct ScriptedRandom final : platform::RandomSource {
    double next() override { return values.isEmpty() ? 0.5 : values.takeFirst(); }
    QList<double> values;
};

// The fake clock, and the pump that moves it on: to the time a pump may block until, or to the first action due
// before, running the actions then due, as events delivered inside a wait would run. By 1 us at least.
struct FakeTime final : platform::Clock, platform::EventPump {
    double seconds() override { return now; }
    void pumpOnce(double wait) override
    {
        ++pumps;
        now += std::max(1e-6, std::min(wait, timed.empty() ? wait : timed.begin()->first - now));
        while (!timed.empty() && timed.begin()->first <= now)
            timed.extract(timed.begin()).mapped()(); // taken out first: it may schedule further actions
    }
    void at(double when, std::function<void()> action) { timed.emplace(when, std::move(action)); }
    double now = 1000.0;
    std::multimap<double, std::function<void()>> timed;
    int pumps = 0;
};

struct FakeMessages final : platform::MessageSink {
    void showError(const QString& text) override { errors << text; }
    void showWarning(const QString& text) override { errors << text; }
    QStringList errors;
};

// Answers each showing, kept as "open|save <preset> <filter>", with the next scripted choice; none cancels.
struct FakeFileDialog final : platform::FileDialog {
    using Choice = std::optional<QString>;
    Choice chooseFileToOpen(const QString& at, const QString& f) override { return choose("open " + at + " " + f); }
    Choice chooseFileToSave(const QString& at, const QString& f) override { return choose("save " + at + " " + f); }
    Choice choose(const QString& showing)
    {
        return (shown << showing, choices.isEmpty() ? Choice() : choices.takeFirst());
    }
    QList<Choice> choices;
    QStringList shown;
};

struct FakeMouse final : platform::MouseButtonSource {
    void start(int size, std::function<void()> itemsWaiting) override { (capacity = size, notify = itemsWaiting); }
    void stop() override { notify = nullptr; }
    std::size_t read(std::span<platform::ButtonItem> out) override
    {
        if (std::exchange(failNextRead, false))
            throw ToolError("device lost");
        std::size_t count = 0;
        for (; count < out.size() && !pending.empty(); ++count, pending.pop_front())
            out[count] = pending.front();
        return count;
    }
    void resume() override { ++resumes; }
    void takeWaiting() override {} // pushed items are in at once
    // Pushes the edges of one button and notifies, as the device would.
    void click(platform::MouseButton button, std::initializer_list<bool> edges)
    {
        for (bool pressed : edges)
            pending.push_back({button, pressed});
        if (notify)
            notify();
    }

    std::deque<platform::ButtonItem> pending;
    std::function<void()> notify;
    int capacity = 0;
    int resumes = 0;
    bool failNextRead = false;
};

struct FakeDesktop {
    platform::Services services()
    {
        return {
            pointer, pointer, time, random, time, messages, [this]() -> std::unique_ptr<platform::MouseButtonSource> {
                if (refuseMouse)
                    throw ToolError("no mouse");
                auto source = std::make_unique<FakeMouse>();
                (mouse = source.get(), mouse->pending = waitingAtOpen);
                return source;
            }};
    }

    FakePointer pointer;
    ScriptedRandom random;
    FakeTime time;
    FakeMessages messages;
    FakeMouse* mouse = nullptr;                     // owned by the watcher once opened
    std::deque<platform::ButtonItem> waitingAtOpen; // what the mouse holds when it is opened
    bool refuseMouse = false;
};

inline std::string readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : "<missing>";
}

inline void writeFile(const QString& path, const std::string& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes.data(), static_cast<qint64>(bytes.size())) < 0)
        throw std::runtime_error("cannot write test file");
}

// A disk that is full past `bytes`: while it lives, a write of this process beyond it fails with "File too large".
struct FileSizeLimit {
    explicit FileSizeLimit(long bytes)
    {
        ::signal(SIGXFSZ, SIG_IGN); // the write fails instead of ending the process
        ::getrlimit(RLIMIT_FSIZE, &old);
        const rlimit limit{static_cast<rlim_t>(bytes), old.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { ::setrlimit(RLIMIT_FSIZE, &old); }
    rlimit old{};
};

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

// A program run to its end: its exit status (128 and the signal when a signal ended it, 137 when it was killed for
// taking longer than `milliseconds`), and what it said on standard error, or on both channels when merged.
struct Outcome {
    int exitCode = -1;
    QString said;
};
inline Outcome finish(QProcess& program, int milliseconds = 60000)
{
    if (!program.waitForFinished(milliseconds))
        (program.kill(), program.waitForFinished());
    const bool merged = program.processChannelMode() == QProcess::MergedChannels;
    return {program.exitCode() + (program.exitStatus() == QProcess::NormalExit ? 0 : 128),
        merged ? program.readAll() : program.readAllStandardError()};
}
inline Outcome run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    return finish(process);
}

// The whole tool on the fake desktop, its files in a fresh temporary folder.
struct Harness {
    explicit Harness(bool load = true)
        : form(controls, desk.services(), dialog, core::AppPaths(dir.path(), "clickpath"))
    {
        if (load)
            form.Form_Load();
    }
    QString path(const QString& name) const { return dir.filePath(name); }
    void writeRecording(const std::string& bytes) const { writeFile(path("clickpath.txt"), bytes); }
    std::string readRecording() const { return readFile(path("clickpath.txt")); }
    void runPlayback(int limit = 10000)
    {
        for (int ticks = 0; controls.ticks[Tick::Playback] && ticks < limit; ++ticks)
            (desk.time.now += 0.01, form.Timer2_Timer());
    }
    void left(std::initializer_list<bool> edges) { desk.mouse->click(platform::MouseButton::Left, edges); }
    void rightClick() { desk.mouse->click(platform::MouseButton::Right, {true, false}); }

    QTemporaryDir dir;
    FakeDesktop desk;
    FakeControls controls;
    FakeFileDialog dialog;
    app::Form1 form;
};

} // namespace clickpath::fakes
