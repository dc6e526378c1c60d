// The player on the fake desktop and the fake clock: what reaches the desktop, what it reports, and how passes end
// and repeat.
#include "playback/Player.h"
#include "fakes/FakeDesktop.h"

#include <gtest/gtest.h>

using namespace clickpath;
using namespace clickpath::fakes;
using playback::PassPolicy;
using playback::WaitKind;

namespace {

// The events as words: "pass 1", "await 10" (the desktop's uptake, and the seconds left), "press", "release", "first 3"
// (a wait and its length), its countdown's numbers,
// "/first" or "/first stopped" at its end, "finished", "stopped" or "failed", "loop 1", and "end".
struct EventLog final : playback::PlaybackObserver {
    void passStarted(std::int32_t n, bool reset) override
    {
        events << "pass " + QString::number(n) + (reset ? "" : "+");
    }
    void desktopAwaited(const QString&, int secondsLeft) override { events << "await " + QString::number(secondsLeft); }
    void pressed() override { events << "press"; }
    void released() override { events << "release"; }
    void waitStarted(WaitKind kind, double seconds) override { events << name(kind) + ' ' + QString::number(seconds); }
    void countdown(std::int16_t seconds) override { events << QString::number(seconds); }
    void waitEnded(WaitKind kind, bool stopped) override { events << '/' + name(kind) + (stopped ? " stopped" : ""); }
    void passEnded(playback::PassEnd why) override { events << QStringList{"finished", "stopped", "failed"}[int(why)]; }
    void loopCounted(std::int32_t loops) override { events << QStringLiteral("loop %1").arg(loops); }
    void playbackEnded() override { events << "end"; }
    static QString name(WaitKind kind) { return QStringList{"first", "click", "sleep"}[int(kind)]; }

    QStringList events;
};

struct Rig {
    explicit Rig(PassPolicy policy = PassPolicy::passes(1))
        : player(boxes, desk.services(), *ticker, log, std::move(policy), dir.filePath("r.txt"))
    {
        ticker->onTick([this] { player.tick(); });
    }
    // Starts a pass of `recording` with the boxes Sleep, Click, VM, HM, 1st.
    void start(const std::string& recording, const QString& texts = "0 0 0 0 0")
    {
        boxes.setBoxes(texts);
        writeFile(dir.filePath("r.txt"), recording);
        player.startPass();
    }
    QString events() const { return log.events.join(' '); }
    QString trail() const { return desk.pointer.path(); }
    // Of a playback: "" once it plays no more, its ticker is still and no press is held.
    QString remains() const
    {
        return QString(player.running() ? "running " : "") + (ticker->active() ? "ticker " : "")
            + (desk.pointer.down() ? "press" : "");
    }

    QTemporaryDir dir;
    FakeDesktop desk;
    FakeBoxes boxes;
    EventLog log;
    std::unique_ptr<FakeTicker> ticker = desk.time.ticker();
    playback::Player player;
};

TEST(PlayerTest, APassReplaysEveryRecordClicksAtRandomOffsetsAndWaitsAfterEachRelease)
{
    // A pass from start to end: the recording, the boxes Sleep, Click, VM, HM, 1st., the random draws; the trail it
    // leaves, the events, and how long it took.
    const std::tuple<std::string, QString, QList<double>, QString, QString, double> passes[] = {
        // Moves, and clicks at the edges of 128 only, at offsets drawn per press (HM 5: -5 .. 4, VM 2.5: -2 .. 2).
        {"10,20,0\r\n11,21,128\r\n12,22,128\r\n13,23,0\r\n14,24,0\r\n15,15,1\r\n16,16,-7\r\n17,17,128\r\n18,18,0\r\n",
            "0 0 2.5 5 0", {0.0, 0.999, 0.5, 0.99, 0.0},
            "10,20 11,21 6,23 P 7,24 8,25 R 14,24 15,15 16,16 17,17 21,15 P 22,16 R",
            "pass 1 press release first 0 0 /first click 0 0 /click press release first 0 0 /first click 0 0 /click "
            "finished end",
            0.1},
        // The first-pass wait counts down, then the click wait floor(0.55 x 10) s.
        {"1,1,128\r\n1,1,0\r\n", "0 10 0 0 3", {0.5, 0.5, 0.55}, "1,1 P R",
            "pass 1 press release first 3 3 2 1 0 /first click 5 5 4 3 2 1 0 /click finished end", 8.03},
        // A bad record, an empty margin or an offset past 32 bits end the pass there, silently.
        {"5,5,0\r\n6,x,0\r\n7,7,0\r\n", "0 0 0 0 0", {}, "5,5", "pass 1 finished end", 0.02},
        {"1,1,0\r\n2,2,128\r\n3,3,0\r\n", "0 0 0  0", {}, "1,1 2,2", "pass 1 finished end", 0.02},
        {"2147483645,5,128\r\n6,6,0\r\n", "0 0 0 5 0", {0.99}, "2147483645,5", "pass 1 finished end", 0.01},
        // A click bound some of whose draws would not fit the countdown's 16 bits ends the pass, whatever the draw;
        // one whose every draw fits plays.
        {"1,1,128\r\n1,1,0\r\n2,2,0\r\n", "0 70000 0 0 -1", {0.5, 0.5, 0.0}, "1,1 P R",
            "pass 1 press release first -1 /first finished end", 0.02},
        {"1,1,128\r\n1,1,0\r\n", "0 32768 0 0 -1", {0.5, 0.5, 0.0}, "1,1 P R",
            "pass 1 press release first -1 /first click 0 0 /click finished end", 0.03},
    };
    for (const auto& [recording, boxes, random, path, events, seconds] : passes)
        for (const double clock : {1000.0, 100 * 86400.0}) { // the same exactly after 100 days
            SCOPED_TRACE(recording.substr(0, 30) + " at " + std::to_string(clock));
            Rig rig;
            rig.desk.time.now = clock;
            rig.desk.random.values = random;
            rig.start(recording, boxes);
            rig.desk.time.run();
            EXPECT_EQ(rig.trail(), path);
            EXPECT_EQ(rig.events(), events);
            EXPECT_NEAR(rig.desk.time.now - clock, seconds, 0.005);
            EXPECT_EQ(rig.remains(), "");
            EXPECT_LE(rig.ticker->wakes, 14); // a wait wakes when its countdown changes, not 100 times a second
        }
    Rig rig;
    EXPECT_THROW(rig.player.startPass(), ToolError); // nothing to play, and nothing runs
    EXPECT_EQ(rig.remains(), "");
}

TEST(PlayerTest, AStopEndsWhatRunsAtOnceReleasesAPressCarriedAcrossARestartAndMakesTheNextPassAFirstOne)
{
    // Where the stop lands, 2 s after the start of a pass that starts a drag at its end: the boxes, the events.
    const std::pair<QString, QString> stops[] = {
        {"0 0 0 0 60", "pass 1 press release first 60 60 59 58 /first stopped stopped end"},
        {"0 100 0 0 0", "pass 1 press release first 0 0 /first click 50 50 49 48 /click stopped stopped end"},
        {"100 0 0 0 0",
            "pass 1 press release first 0 0 /first click 0 0 /click press finished loop 1 sleep 50 50 49 48 "
            "/sleep stopped release end"},
    };
    for (const auto& [boxes, events] : stops) {
        SCOPED_TRACE(boxes);
        Rig rig(PassPolicy::untilStopped());
        rig.start("1,1,128\r\n1,1,0\r\n1,1,128\r\n", boxes);
        rig.desk.time.at(rig.desk.time.now + 2, [&] { rig.player.stop(); });
        rig.desk.time.run();
        EXPECT_EQ(rig.events(), events);
        EXPECT_EQ(rig.remains(), "");
        EXPECT_NEAR(rig.desk.time.now, 1002, 0.02); // seen at once
        EXPECT_EQ(rig.player.passCount(), 0);       // the next pass is a first one
    }
    Rig rig(PassPolicy::untilStopped());
    rig.start("1,1,0\r\n2,2,0\r\n");
    rig.desk.time.runNext();
    rig.player.stop();
    rig.player.tick(); // a tick that was already due plays nothing
    EXPECT_EQ(rig.trail(), "1,1");
    rig.start("1,1,128\r\n"); // a press held across restarts
    rig.desk.time.runFor(0.065);
    EXPECT_EQ(rig.trail(), "1,1 P");
    EXPECT_EQ(rig.player.passCount(), 4);
    rig.player.stop(); // in the middle of the drag
    EXPECT_EQ(rig.trail(), "1,1 P R");
    Rig once;
    once.desk.random.values = {0.0, 0.5}; // released where the pass ended, offsets and all
    once.start("7,7,0\r\n8,8,128\r\n9,9,128\r\n", "0 0 0 4 0");
    once.desk.time.run();
    EXPECT_EQ(once.trail(), "7,7 8,8 4,8 P 5,9 R");
}

TEST(PlayerTest, LoopingCountsPassesSleepsBetweenThemAndAnEditOfTheFirstPassWaitTakesEffectAtOnce)
{
    Rig rig(PassPolicy::passes(3));
    rig.start("1,1,128\r\n1,1,0\r\n", "10 0 0 0 1");
    rig.desk.time.run();
    EXPECT_EQ(rig.events(),
        "pass 1 press release first 1 1 0 /first click 0 0 /click finished loop 1 sleep 5 5 4 3 2 1 0 /sleep "
        "pass 2+ press release click 0 0 /click finished loop 2 sleep 5 5 4 3 2 1 0 /sleep "
        "pass 3+ press release click 0 0 /click finished end");
    rig.player.forgetLoop(); // "Rec": the looped passes count from 0 again, the passes go on
    rig.start("", "0 0 0 0 0");
    EXPECT_EQ(rig.log.events.back(), "pass 4");
    // 1st. edited from 180 to 5 after 10 s of its wait ends it, on the player's own turn: the texts a box held on
    // the way ("-", an emptied box) count for nothing. One that holds no number ends the pass.
    for (const auto& [edits, events] :
        {std::pair{QStringList{"-", "", "5"}, " 170 /first click 0 0 /click finished end"},
            {QStringList{"x"}, " 170 /first finished end"}}) {
        Rig edited;
        edited.start("1,1,128\r\n1,1,0\r\n", "0 0 0 0 180");
        edited.desk.time.at(edited.desk.time.now + 10, [&, edits = edits] {
            const QString before = edited.events();
            for (const QString& text : edits)
                (edited.boxes.setBoxText(SettingBox::FirstPassWait, text), edited.player.numbersEdited());
            EXPECT_EQ(edited.events(), before) << "nothing runs inside the edit";
        });
        edited.desk.time.run();
        EXPECT_TRUE(edited.events().endsWith(events)) << edits.join('|') << ": " << edited.events().toStdString();
        EXPECT_NEAR(edited.desk.time.now, 1010.01, 0.015) << edits.join('|');
    }
}

TEST(PlayerTest, APassWaitsForTheDesktopToTakeInputTenSecondsAtMostAndAStopEndsTheWait)
{
    // When the desktop takes the moves and clicks and when a stop comes (never: 0); the events, when the first move
    // was made, and the warning.
    const std::tuple<double, double, QString, double, QString> cases[] = {
        {2.5, 0, "pass 1 await 10 await 9 await 8 finished end", 1002.51, ""},
        {0, 0, "pass 1 await 10 await 9 await 8 await 7 await 6 await 5 await 4 await 3 await 2 await 1 finished end",
            1010.01, "Waited 10 s for sway to take it: moves and clicks may not reach the desktop."},
        {0, 1.5, "pass 1 await 10 await 9 stopped end", 0, ""},
    };
    for (const auto& [takenAt, stopAt, events, movedAt, said] : cases) {
        Rig rig;
        rig.desk.pointer.uptake = "sway to take it";
        rig.desk.pointer.beforeMove = [&, movedAt = movedAt] { EXPECT_NEAR(rig.desk.time.now, movedAt, 0.06); };
        for (const auto& [at, action] :
            {std::pair<double, std::function<void()>>{takenAt, [&] { rig.desk.pointer.uptake.clear(); }},
                {stopAt, [&] { rig.player.stop(); }}})
            if (at > 0)
                rig.desk.time.at(1000 + at, action);
        rig.start("1,1,0\r\n");
        rig.desk.time.run();
        EXPECT_EQ(rig.events(), events);
        EXPECT_EQ(rig.desk.messages.errors.join(""), said);
        EXPECT_EQ(rig.remains(), "");
    }
    Rig looped(PassPolicy::passes(3)); // a desktop that never takes it: waited for once a playback, said once
    looped.desk.pointer.uptake = "sway to take it";
    looped.start("1,1,0\r\n");
    looped.desk.time.run();
    EXPECT_EQ(looped.events().count("await 10"), 1);
    EXPECT_EQ(looped.events().count("finished"), 3);
    EXPECT_EQ(looped.desk.messages.errors.size(), 1);
}

TEST(PlayerTest, ARestartThatCannotGoOnOrAFaultLeavesItIdleAndSaysWhyAndACloseEndsEverythingAtOnceAndSilently)
{
    const std::pair<QString, QString> restarts[] = {{"abc", "Sleep: \"abc\" is not a number"},
        {"40000", "Sleep: 40000 is out of range, from -32768 to 32768 seconds"}};
    for (const auto& [sleep, said] : restarts) {
        Rig rig(PassPolicy::untilStopped());
        rig.desk.random.values = {0.5, 0.5, 0.0}; // a draw that would fit
        rig.start("1,1,128\r\n", sleep + " 0 0 0 0");
        rig.desk.time.run();
        EXPECT_EQ(rig.desk.messages.errors, QStringList{said});
        EXPECT_EQ(rig.remains(), "") << sleep.toStdString();
    }
    Rig rig(PassPolicy::untilStopped());
    rig.start("1,1,0\r\n"); // the recording vanished between passes
    rig.desk.time.runNext();
    QFile::remove(rig.dir.filePath("r.txt"));
    rig.desk.time.run();
    EXPECT_TRUE(rig.desk.messages.errors.value(0).contains("No such file"));
    EXPECT_EQ(rig.remains(), "");
    for (const auto& [fault, said] :
        {std::pair<std::function<void()>, QString>{[] { throw std::logic_error("broken"); }, "Internal error: broken"},
            {[] { throw ToolError("display gone"); }, "display gone"}}) {
        Rig broken(PassPolicy::untilStopped());
        broken.start("1,1,128\r\n2,2,128\r\n3,3,0\r\n");
        broken.desk.time.runNext();
        broken.desk.pointer.beforeMove = fault;
        broken.desk.time.run();
        EXPECT_EQ(broken.remains(), ""); // no restart either
        EXPECT_EQ(broken.desk.messages.errors, QStringList{said});
        EXPECT_TRUE(broken.events().endsWith("failed release end"));
    }
    Rig closed;
    closed.start("1,1,128\r\n1,1,0\r\n", "0 100 0 0 0");
    closed.desk.time.at(closed.desk.time.now + 0.5, [&] { (closed.log.events.clear(), closed.player.close()); });
    closed.desk.time.run();
    EXPECT_NEAR(closed.desk.time.now, 1000.5, 1e-9);
    EXPECT_EQ(closed.events(), "");
    EXPECT_EQ(closed.remains(), "");
}

} // namespace
