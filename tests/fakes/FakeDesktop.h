#pragma once

#include "core/PacingNumbers.h"
#include "core/ToolError.h"
#include "platform/FileDialog.h"
#include "platform/Services.h"
#include "platform/qt/TickGrid.h"

#include <QFile>
#include <QList>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <ostream>
#include <sys/resource.h>

inline std::ostream& operator<<(std::ostream& out, const QString& text) // for messages, traces and values
{
    return out << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QString& text, std::ostream* out) // a failed check shows the text, not its characters
{
    *out << text;
}

// The fake desktop: a fake per platform interface, with a fake time; the logic runs on it with no display or sleep.
namespace clickpath::fakes {

using core::SettingBox;
using platform::ScreenPoint;

// The texts joined by blanks, each run of equal ones once.
inline QString folded(QStringList texts)
{
    texts.erase(std::unique(texts.begin(), texts.end()), texts.end());
    return texts.join(' ');
}

// The five boxes as plain texts.
struct FakeBoxes : core::SettingBoxes {
    FakeBoxes() { setBoxes("180"); }
    QString boxText(SettingBox box) const override { return boxes.at(box); }
    void setBoxText(SettingBox box, const QString& text) override { boxes[box] = text; }
    void setBoxes(const QString& texts) // Sleep, Click, VM, HM, 1st., or one text for all
    {
        const QStringList split = texts.split(' ');
        for (const SettingBox box : core::kSettingBoxes)
            boxes[box] = split.size() == 1 ? texts : split.value(static_cast<int>(box));
    }
    std::map<SettingBox, QString> boxes;
};

// The pointer's trail: moves as "x,y", and P or R for a press or release where it stands: "10,20 11,21 P 12,22 R".
struct FakePointer final : platform::Pointer, platform::ButtonInjector {
    std::optional<ScreenPoint> position() override
    {
        if (!gone.empty())
            throw ToolError(gone);
        return lost ? std::nullopt : std::optional(ScreenPoint{x, y});
    }
    void moveTo(std::int32_t toX, std::int32_t toY) override
    {
        beforeMove();
        if (trail.isEmpty() || toX != x || toY != y) // a move onto its own spot shows no more
            trail << QStringLiteral("%1,%2").arg(toX).arg(toY);
        (x = toX, y = toY);
    }
    void startTracking() override
    {
        if (!positionUnknown.empty())
            throw ToolError(positionUnknown);
        tracking = true;
    }
    void stopTracking() override { tracking = false; }
    std::string awaitedUptake() override { return uptake; }
    void pressLeft() override { trail << "P"; }
    void releaseLeft() override { (beforeRelease(), trail << "R"); }
    bool down() const { return trail.lastIndexOf("P") > trail.lastIndexOf("R"); }
    QString path() const { return trail.join(' '); }

    QStringList trail;
    std::int32_t x = 0, y = 0;
    bool lost = false;                        // the pointer has no position to give
    std::string gone;                         // why no position will come any more, once none will
    bool tracking = false;                    // between startTracking and stopTracking
    std::string positionUnknown;              // why the desktop never tells the position, if it does not
    std::string uptake;                       // what the desktop has yet to do before moves reach it
    std::function<void()> beforeMove = [] {}; // a fault to inject
    std::function<void()> beforeRelease = [] {};
};

struct ScriptedRandom final : platform::RandomSource {
    double next() override { return values.isEmpty() ? 0.5 : values.takeFirst(); }
    QList<double> values;
};

// A ticker on the fake clock `now`: its next tick or wake-up is due at `due`.
struct FakeTicker final : platform::Ticker {
    FakeTicker(const double& now, std::vector<FakeTicker*>& all, double interval)
        : now(now)
        , all(all)
        , interval(interval)
    {
        all.push_back(this);
    }
    ~FakeTicker() override { std::erase(all, this); }
    void onTick(std::function<void()> tick) override { this->tick = std::move(tick); }
    void startTicking() override { ticking ? void() : (ticking = true, grid.start(ns(now)), due = deadline(), void()); }
    void wakeAfter(double seconds) override { (ticking = false, due = now + seconds, ++wakes); }
    void stop() override { (ticking = false, due.reset()); }
    bool active() const override { return due.has_value(); }
    // On the real tickers' grid: a tick late by more than its catch-up limit starts the grid again.
    void fire() { (ticking ? (grid.ticked(ns(now)), due = deadline(), void()) : due.reset(), tick ? tick() : void()); }
    static std::int64_t ns(double seconds) { return std::llround(seconds * 1e9); }
    double deadline() const { return static_cast<double>(grid.deadline()) / 1e9; }

    const double& now;
    std::vector<FakeTicker*>& all;
    double interval;
    platform::qt::TickGrid grid{ns(interval), platform::qt::kTickCatchUpLimit};
    std::function<void()> tick;
    std::optional<double> due;
    bool ticking = false;
    int wakes = 0;
};

struct FakeTime final : platform::Clock {
    double seconds() override { return now; }
    void at(double when, std::function<void()> action) { timed.emplace(when, std::move(action)); }
    std::unique_ptr<FakeTicker> ticker(double interval = 0.01)
    {
        return std::make_unique<FakeTicker>(now, tickers, interval);
    }
    // Runs the next thing due by `until`; false when there is none.
    bool runNext(double until = INFINITY)
    {
        FakeTicker* next = nullptr;
        for (FakeTicker* ticker : tickers)
            if (ticker->due && (!next || *ticker->due < *next->due))
                next = ticker;
        const bool action = !timed.empty() && (!next || timed.begin()->first <= *next->due);
        if (!action && !next)
            return false;
        const double when = action ? timed.begin()->first : *next->due;
        if (when > until)
            return false;
        now = std::max(now, when);
        action ? timed.extract(timed.begin()).mapped()() : next->fire(); // taken out first: it may schedule more
        return true;
    }
    void runFor(double seconds)
    {
        const double until = now + seconds;
        while (runNext(until)) {}
        now = until;
    }
    // Until nothing is due any more, or `limit` things have run.
    void run(int limit = 100000)
    {
        for (int i = 0; i < limit && runNext(); ++i) {}
    }
    double now = 1000.0;
    std::multimap<double, std::function<void()>> timed;
    std::vector<FakeTicker*> tickers;
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

struct FakeSession final : platform::SessionWatch {
    bool active() override { return isActive; }
    void onLeft(std::function<void()> left) override { this->left = std::move(left); }
    void leave() { (isActive = false, left ? left() : void()); }
    bool isActive = true;
    std::function<void()> left;
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
        return {pointer, pointer, time, random, messages, session,
            [this](
                std::chrono::nanoseconds interval) { return time.ticker(static_cast<double>(interval.count()) / 1e9); },
            [this]() -> std::unique_ptr<platform::MouseButtonSource> {
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
    FakeSession session;
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

} // namespace clickpath::fakes
