// The player on the fake desktop: what reaches the desktop, what the window shows, and how passes end and repeat.
#include "fakes/FakeDesktop.h"

#include <gtest/gtest.h>

using namespace clickpath;
using namespace clickpath::fakes;
using core::TextColour;

namespace {

struct PlayerTest : ::testing::Test {
    // Starts a pass of `recording` with the boxes Sleep, Click, VM, HM, 1st.
    void start(const std::string& recording, const QString& boxes = "0 0 0 0 0")
    {
        h.controls.setBoxes(boxes);
        h.writeRecording(recording);
        h.desk.pointer.trail.clear();
        h.form.Command3_Click();
    }
    void tick() { h.form.Timer2_Timer(); }
    void stopAt(double when) { h.desk.time.at(when, std::bind(&Harness::rightClick, &h)); }
    QString remains() // of a playback: "" once its tick, its lock of the commands, its pass and its press are gone
    {
        return QString(h.controls.ticks[Tick::Playback] ? "tick " : "") + (h.controls.commandsEnabled ? "" : "lock ")
            + (h.form.player().passOpen() ? "pass " : "") + (h.desk.pointer.down() ? "press" : "");
    }
    QString trail() { return h.desk.pointer.path(); }
    double& now() { return h.desk.time.now; }

    Harness h;
};

TEST_F(PlayerTest, APassReplaysEveryRecordClicksAtRandomOffsetsAndWaitsAfterEachRelease)
{
    h.controls.loop = false;
    // A pass from start to end: the recording, the boxes Sleep, Click, VM, HM, 1st., the random draws; the trail it
    // leaves, every number the countdown showed, and how long it took.
    const std::tuple<std::string, QString, QList<double>, QString, QString, double> passes[] = {
        // Moves, and clicks at the edges of 128 only, at offsets drawn per press (HM 5: -5 .. 4, VM 2.5: -2 .. 2).
        {"10,20,0\r\n11,21,128\r\n12,22,128\r\n13,23,0\r\n14,24,0\r\n15,15,1\r\n16,16,-7\r\n17,17,128\r\n18,18,0\r\n",
            "0 0 2.5 5 0", {0.0, 0.999, 0.5, 0.99, 0.0},
            "10,20 11,21 6,23 P 7,24 8,25 R 14,24 15,15 16,16 17,17 21,15 P 22,16 R", "0", 0.1},
        // The first-pass wait counts down, then the click wait floor(0.55 x 10) s.
        {"1,1,128\r\n1,1,0\r\n", "0 10 0 0 3", {0.5, 0.5, 0.55}, "1,1 P R", "3 2 1 0 5 4 3 2 1 0", 8.0},
        // A bad record, an empty margin or an offset past 32 bits end the pass there, silently.
        {"5,5,0\r\n6,x,0\r\n7,7,0\r\n", "0 0 0 0 0", {}, "5,5", "", 0.02},
        {"1,1,0\r\n2,2,128\r\n3,3,0\r\n", "0 0 0  0", {}, "1,1 2,2", "", 0.02},
        {"2147483645,5,128\r\n6,6,0\r\n", "0 0 0 5 0", {0.99}, "2147483645,5", "", 0.01},
    };
    for (const auto& [recording, boxes, random, path, countdown, seconds] : passes) {
        SCOPED_TRACE(recording);
        h.rightClick(); // each a first pass
        h.desk.random.values = random;
        start(recording, boxes);
        EXPECT_FALSE(h.controls.commandsEnabled);
        EXPECT_EQ(h.controls.text(Label::PassCount), "0");
        h.controls.shown.erase(Label::Countdown);
        const double started = now();
        h.runPlayback();
        EXPECT_EQ(trail(), path);
        EXPECT_EQ(h.controls.history(Label::Countdown), countdown);
        EXPECT_NEAR(now() - started, seconds, 0.05);
        EXPECT_EQ(remains(), "");
        EXPECT_EQ(h.controls.text(Label::ClickShown), "");
    }
    EXPECT_LE(h.desk.time.pumps, 15); // a wait wakes for a change of its countdown, not a hundred times a second
    EXPECT_EQ(h.controls.position, "X:2147483645 Y:5");
    QFile::remove(h.path("clickpath.txt"));
    h.form.Command3_Click(); // nothing to play: said, and nothing runs
    ASSERT_EQ(h.desk.messages.errors.size(), 1);
    EXPECT_TRUE(h.desk.messages.errors[0].contains(h.path("clickpath.txt")));
    EXPECT_EQ(remains(), "");
}

TEST_F(PlayerTest, AStopInAWaitOrAWaitsLastPumpingEndsThePassAtOnceAndReleasesAPressCarriedAcrossARestart)
{
    for (const auto& [wait, boxes] : {std::pair{Label::FirstPassCaption, "0 0 0 0 60"},
             {Label::ClickWaitCaption, "0 100 0 0 0"}, {Label::SleepCaption, "100 0 0 0 0"}}) {
        SCOPED_TRACE(boxes);
        h.controls.colours.clear();
        start("1,1,128\r\n1,1,0\r\n1,1,128\r\n", boxes); // a sleep comes mid-drag
        const double started = now();
        stopAt(started + 2);
        h.runPlayback();
        EXPECT_EQ(remains(), "");
        EXPECT_LT(now() - started, 2.05); // seen at once
        EXPECT_EQ(h.controls.text(Label::Countdown), "");
        EXPECT_EQ(h.controls.colours[wait], TextColour::Normal);
        EXPECT_EQ(h.controls.colours.count(Label::ClickWaitCaption), wait != Label::FirstPassCaption);
        EXPECT_EQ(trail(), wait == Label::SleepCaption ? "1,1 P R P R" : "1,1 P R");
        EXPECT_EQ(h.form.player().passCount(), 0); // the next "Auto" is a first pass
    }
    start("1,1,0\r\n2,2,0\r\n");
    (tick(), h.rightClick(), tick()); // the second tick was already due: it plays nothing
    EXPECT_EQ(trail(), "1,1");
    // A click wait ends at 1005.001 s (after a first-pass wait of 1 ms), a loop sleep at 1005 s; the stop
    // comes in the pumping that ends it, after its last stop test.
    for (const auto& [recording, stop] :
        {std::pair{"1,1,128\r\n1,1,0\r\n2,2,0\r\n", 1005.0015}, {"1,1,128\r\n", 1005.0005}}) {
        h.desk.random.values = {0.5, 0.5, 0.5};
        now() = 1000.0;
        start(recording, "10 10 0 0 0");
        stopAt(stop);
        (tick(), tick());
        EXPECT_EQ(remains(), "") << recording;
    }
    (h.controls.repaints = 0, h.controls.shown.clear());
    start("1,1,128\r\n"); // a press held across restarts
    for (int i = 0; i < 6; ++i)
        tick();
    EXPECT_EQ(trail(), "1,1 P");
    EXPECT_TRUE(h.controls.shown[Label::ClickShown].contains("Click!"));
    EXPECT_EQ(h.controls.repaints, 1); // at once
    h.rightClick();                    // in the middle of the drag
    EXPECT_EQ(trail(), "1,1 P R");
    h.controls.loop = false; // released where the pass ended, offsets and all
    h.desk.random.values = {0.0, 0.5};
    start("7,7,0\r\n8,8,128\r\n9,9,128\r\n", "0 0 0 4 0");
    h.runPlayback();
    EXPECT_EQ(trail(), "7,7 8,8 4,8 P 5,9 R");
}

TEST_F(PlayerTest, LoopingCountsPassesSleepsBetweenThemAndStartsCountingAgainAfterAStopOrRec)
{
    start("1,1,128\r\n1,1,0\r\n", "0 0 0 0 1");
    for (int i = 0; i < 9; ++i) // three ticks a pass with the read that ends it
        tick();
    EXPECT_EQ(h.controls.history(Label::PassCount), "0 1 2 3");
    EXPECT_EQ(h.form.player().passCount(), 4);
    EXPECT_EQ(h.controls.history(Label::Countdown), "1 0");      // the first pass only
    EXPECT_FALSE(h.controls.colours.count(Label::SleepCaption)); // no sleep below 1 s
    h.controls.loop = false;
    h.runPlayback();
    h.form.Command3_Click();
    EXPECT_EQ(h.controls.text(Label::PassCount), "3"); // the count goes on
    h.controls.loop = true;
    h.rightClick();
    start("", "10 0 0 0 0");
    EXPECT_EQ(h.controls.text(Label::PassCount), "0");
    bool sleeping = false;
    h.desk.time.at(now(), [&] {
        sleeping = h.controls.colours[Label::SleepCaption] == TextColour::Highlight && !h.controls.commandsEnabled
            && !h.controls.ticks[Tick::Playback];
    });
    const double started = now();
    tick();
    EXPECT_TRUE(sleeping);
    EXPECT_NEAR(now() - started, 5.0, 0.01); // floor(0.5 x 10)
    EXPECT_TRUE(h.controls.ticks[Tick::Playback]);
    EXPECT_EQ(h.controls.colours[Label::SleepCaption], TextColour::Normal);
    h.controls.loop = false;
    h.runPlayback(); // a pass that ends by itself keeps its count, but for a "Rec"
    h.form.Command1_Click();
    (FileSizeLimit(0), h.form.Timer1_Timer()); // a full disk ends the recording with no stop of playback
    h.form.Command3_Click();
    EXPECT_EQ(h.controls.text(Label::PassCount), "0");
}

TEST_F(PlayerTest, ARestartThatCannotGoOnOrAFaultLeavesItIdleAndSaysWhyAndAClosedWindowEndsAWaitAtOnceTouchingNoControl)
{
    for (const char* sleep : {"abc", "3000000000"}) {
        start("1,1,128\r\n", QString(sleep) + " 0 0 0 0");
        h.runPlayback();
        EXPECT_TRUE(h.desk.messages.errors.back().startsWith("Sleep")) << sleep;
        EXPECT_EQ(remains(), "");
    }
    start("1,1,0\r\n"); // the recording vanished between passes
    tick();
    QFile::remove(h.path("clickpath.txt"));
    tick();
    EXPECT_TRUE(h.desk.messages.errors.back().contains("No such file"));
    EXPECT_EQ(remains(), "");
    start("1,1,128\r\n2,2,128\r\n3,3,0\r\n");
    tick();
    h.desk.pointer.beforeMove = [] { throw std::logic_error("broken step"); };
    tick();
    EXPECT_EQ(remains(), ""); // no restart either
    EXPECT_EQ(h.desk.messages.errors.back(), "Internal error: broken step");
    h.desk.pointer.beforeMove = [] {};
    start("1,1,128\r\n1,1,0\r\n2,2,128\r\n", "0 100 0 0 0");
    tick();
    const double started = now();
    h.desk.time.at(started + 0.5, [&] {
        h.form.Form_QueryUnload();
        EXPECT_FALSE(h.desk.mouse->notify); // before the unload lets go of it
        h.form.Form_Unload();
        h.controls.shown.clear();
    });
    tick();
    EXPECT_LT(now() - started, 1.0);
    EXPECT_TRUE(h.controls.shown.empty());
    EXPECT_FALSE(h.form.player().passOpen());
}

} // namespace
