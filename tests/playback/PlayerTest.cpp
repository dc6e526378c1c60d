// The player on the fake desktop: what reaches the desktop, what the window
// shows, and how passes end and repeat.
#include "fakes/FakeDesktop.h"
#include "platform/ToolError.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace clickpath;
using namespace clickpath::fakes;
using core::TextColour;
using Events = std::vector<InputEvent>;

namespace {

class PlayerTest : public ::testing::Test {
protected:
    PlayerTest()
    {
        h.controls.setBoxes("0"); // no waits, no offsets, no sleep unless a test says so
        h.controls.loop = false;
    }
    void start(const std::string& recording, const char* boxes = nullptr)
    {
        if (boxes) // Sleep, Click, VM, HM, 1st.
            for (int box = 0; box < 5; ++box)
                h.controls.boxes[SettingBox(box)] = QString(boxes).split(' ').value(box);
        h.writeRecording(recording);
        h.desk.pointer.events.clear();
        h.form().Command3_Click();
    }
    void tick() { h.form().Timer2_Timer(); }
    void stopAt(double fromNow)
    {
        h.desk.pump.at(h.desk.clock.now + fromNow, [this] { h.rightClick(); });
    }
    bool idle() { return !h.controls.ticks[Tick::Playback] && h.controls.commandsEnabled && !h.player().passOpen(); }
    const Events& events() { return h.desk.pointer.events; }

    Harness h;
};

TEST_F(PlayerTest, ReplaysEveryRecordAndClicksAtTheButtonEdgesOnly)
{
    start("10,20,0\r\n11,21,128\r\n12,22,128\r\n13,23,0\r\n14,24,0\r\n15,15,1\r\n16,16,-7\r\n17,17,128\r\n18,18,0\r\n");
    EXPECT_FALSE(h.controls.commandsEnabled);
    EXPECT_EQ(h.controls.text(Label::PassCount), "0");
    EXPECT_EQ(h.runPlayback(), 10); // nine records and the read that ends the pass
    EXPECT_EQ(events(),
        (Events{move(10, 20), move(11, 21), move(11, 21), press(11, 21), move(12, 22), move(13, 23), release(13, 23),
            move(14, 24), move(15, 15), move(16, 16), move(17, 17), move(17, 17), press(17, 17), move(18, 18),
            release(18, 18)}));
    EXPECT_EQ(h.controls.position, "X:18 Y:18");
    EXPECT_TRUE(idle());
    EXPECT_EQ(h.controls.history(Label::ClickShown), (QStringList{"", "Click!", "", "Click!", ""}));
}

TEST_F(PlayerTest, ClicksLandAtOffsetsDrawnPerPressAndHeldThroughTheDrag)
{
    h.desk.random.values = {0.0, 0.999, 0.5, 0.99, 0.0, 0.5}; // HM 5: -5 .. 4, VM 3: -3 .. 2
    start("100,100,128\r\n110,100,128\r\n120,100,0\r\n130,100,0\r\n200,200,128\r\n200,200,0\r\n", "0 0 3 5 0");
    h.runPlayback();
    EXPECT_EQ(events(),
        (Events{move(100, 100), move(95, 102), press(95, 102), move(105, 102), move(115, 102), release(115, 102),
            move(130, 100), move(200, 200), move(204, 197), press(204, 197), move(204, 197), release(204, 197)}));
}

TEST_F(PlayerTest, DrawOffsetCoversMinusMarginToMarginMinusOne)
{
    playback::Player player(h.controls, h.desk.services(), QString());
    const auto draw = [&](const char* margin, double r) {
        h.controls.boxes[SettingBox::VerticalMargin] = margin;
        h.desk.random.values = {r};
        return player.drawOffset(SettingBox::VerticalMargin);
    };
    const std::tuple<const char*, double, int> cases[] = {{"180", 0.0, -180}, {"180", 0.9999999, 179}, {"180", 0.5, 0},
        {"0", 0.7, 0}, {"2.5", 0.0, -2}, {"2.5", 0.9999, 2}, {" 3 ", 0.0, -3}, {"-3", 0.5, 0}};
    for (const auto& [margin, r, offset] : cases)
        EXPECT_EQ(draw(margin, r), offset) << margin << " " << r;
    // Not a number, beyond single precision, a doubled bound that overflows.
    for (const char* margin : {"", "abc", "1E39", "3E38"})
        EXPECT_THROW(draw(margin, 0.5), ToolError) << margin;
}

TEST_F(PlayerTest, BadRecordsEmptyMarginsAndOverflowsEndThePassSilently)
{
    const std::tuple<std::string, const char*, Events> cases[] = {
        {"5,5,0\r\n6,x,0\r\n", "0 0 0 0 0", {move(5, 5)}}, {"5,5,0\r\n6,6", "0 0 0 0 0", {move(5, 5)}},
        {"", "0 0 0 0 0", {}},
        {"1,1,0\r\n2,2,128\r\n3,3,0\r\n", "0 0 0  0", {move(1, 1), move(2, 2)}}, // no press without a margin
        {"2147483645,5,128\r\n6,6,0\r\n", "0 0 0 5 0", {move(2147483645, 5)}},   // offset 4 passes 32 bits
    };
    h.desk.random.fallback = 0.99;
    for (const auto& [recording, boxes, played] : cases) {
        start(recording, boxes);
        h.runPlayback();
        EXPECT_EQ(events(), played) << recording;
        EXPECT_TRUE(idle() && !h.player().pressSent());
    }
    EXPECT_TRUE(h.desk.messages.errors.isEmpty());
    QFile::remove(h.path("clickpath.txt"));
    h.form().Command3_Click(); // nothing to play: said, and nothing runs
    ASSERT_EQ(h.desk.messages.errors.size(), 1);
    EXPECT_TRUE(h.desk.messages.errors[0].contains(h.path("clickpath.txt")));
    EXPECT_TRUE(idle());
}

TEST_F(PlayerTest, FirstPassWaitCountsDownInTheFirstPassOnly)
{
    start("1,1,128\r\n1,1,0\r\n", "0 0 0 0 3");
    const double started = h.desk.clock.now;
    h.runPlayback();
    EXPECT_NEAR(h.desk.clock.now - started, 3.1, 0.1);
    EXPECT_EQ(h.controls.history(Label::Countdown), (QStringList{"3", "2", "1", "0"})); // the last number stays
    EXPECT_EQ(h.controls.colours[Label::FirstPassCaption], TextColour::Normal);
    EXPECT_EQ(h.controls.colours[Label::ClickWaitCaption], TextColour::Normal);
    h.controls.colours.clear();
    h.form().Command3_Click(); // a pass that ended by itself leaves no first pass behind
    h.runPlayback();
    EXPECT_EQ(h.player().passCount(), 2);
    EXPECT_EQ(h.controls.colours.count(Label::FirstPassCaption), 0u);
}

TEST_F(PlayerTest, ClickWaitLastsARandomShareOfItsBoundAndAnEditEndsAFirstPassWait)
{
    h.desk.random.values = {0.5, 0.5, 0.55}; // two offsets, then floor(5.5) = 5 s
    start("1,1,128\r\n1,1,0\r\n", "0 10 0 0 180");
    const double started = h.desk.clock.now;
    h.desk.pump.at(started + 10, [&] { h.controls.boxes[SettingBox::FirstPassWait] = "5"; });
    h.runPlayback();
    EXPECT_NEAR(h.desk.clock.now - started, 15.0, 0.1);
    EXPECT_TRUE(h.controls.history(Label::Countdown).contains("170"));
}

TEST_F(PlayerTest, AStopInsideAnyWaitEndsThePassAtOnceWithoutRestart)
{
    h.controls.loop = true;
    for (const auto& [wait, boxes] : {std::pair{Label::FirstPassCaption, "0 0 0 0 60"},
             {Label::ClickWaitCaption, "0 100 0 0 0"}, {Label::SleepCaption, "100 0 0 0 0"}}) {
        h.controls.colours.clear();
        start("1,1,128\r\n1,1,0\r\n", boxes);
        const double started = h.desk.clock.now;
        stopAt(2);
        h.runPlayback();
        EXPECT_TRUE(idle());
        EXPECT_LT(h.desk.clock.now - started, 2.05); // seen at once
        EXPECT_EQ(h.controls.text(Label::Countdown), "");
        EXPECT_EQ(h.controls.colours[wait], TextColour::Normal);
        EXPECT_EQ(h.controls.colours.count(Label::ClickWaitCaption), wait != Label::FirstPassCaption);
        EXPECT_EQ(events().back(), release(1, 1));
        EXPECT_EQ(h.player().passCount(), 0); // the next "Auto" is a first pass
    }
}

TEST_F(PlayerTest, AStopBetweenStepsOrInAWaitsLastPumpingIsNotLost)
{
    h.controls.loop = true;
    start("1,1,0\r\n2,2,0\r\n3,3,0\r\n");
    tick();
    h.rightClick();
    EXPECT_TRUE(idle());
    tick(); // a late tick plays nothing
    EXPECT_EQ(events(), Events{move(1, 1)});
    // Seen after the last stop test of a click wait and of a loop sleep,
    // which both end at 1005 s.
    for (const char* recording : {"1,1,128\r\n1,1,0\r\n2,2,0\r\n", ""}) {
        h.desk.random.values = {0.5, 0.5, 0.5};
        h.desk.clock.now = 1000.0;
        start(recording, "10 10 0 0 0");
        h.desk.pump.at(1005.0005, [&] { h.rightClick(); });
        tick();
        tick();
        EXPECT_TRUE(idle()) << recording;
        EXPECT_EQ(h.player().passCount(), 0);
    }
}

TEST_F(PlayerTest, AWaitWakesOnlyWhenItsCountdownChanges)
{
    h.desk.random.values = {0.5, 0.5, 0.5};
    start("1,1,128\r\n1,1,0\r\n", "0 60 0 0 0"); // a click wait of 30 s
    h.runPlayback();
    QStringList countdown{"0"}; // the first-pass wait of 0 s
    for (int second = 30; second >= 0; --second)
        countdown << QString::number(second);
    EXPECT_EQ(h.controls.history(Label::Countdown), countdown);
    EXPECT_LE(h.desk.pump.pumps, 34); // not 3000 times
}

TEST_F(PlayerTest, ATickDueInsideAWaitStartsNoSecondStep)
{
    start("1,1,128\r\n1,1,0\r\n2,2,0\r\n", "0 10 0 0 0");
    h.desk.pump.at(h.desk.clock.now + 1, [&] { tick(); });
    tick();
    tick(); // the release and its wait; the nested tick does nothing
    EXPECT_EQ(events().back(), release(1, 1));
    tick();
    EXPECT_EQ(events().back(), move(2, 2));
}

TEST_F(PlayerTest, LoopingCountsPassesAndRestartsInTheSameTickWhenThereIsNoSleep)
{
    h.controls.loop = true;
    start("1,1,128\r\n1,1,0\r\n", "0 0 0 0 1");
    for (int i = 0; i < 9; ++i) // three ticks a pass with the read that ends it
        tick();
    EXPECT_EQ(h.controls.history(Label::PassCount), (QStringList{"0", "1", "2", "3"}));
    EXPECT_EQ(h.player().passCount(), 4);
    EXPECT_TRUE(h.controls.ticks[Tick::Playback] && !h.controls.commandsEnabled);
    EXPECT_EQ(h.controls.history(Label::Countdown), (QStringList{"1", "0"})); // first pass only
    h.controls.loop = false; // the pass ends; the count goes on at the next "Auto"
    h.runPlayback();
    h.form().Command3_Click();
    EXPECT_EQ(h.controls.text(Label::PassCount), "3");
    h.rightClick(); // after a stop, or "Rec", it starts again
    h.form().Command3_Click();
    EXPECT_EQ(h.controls.text(Label::PassCount), "0");
    h.controls.loop = true;
    h.runPlayback(3);
    h.rightClick();
    h.form().Command1_Click();
    h.rightClick();
    h.form().Command3_Click();
    EXPECT_EQ(h.controls.text(Label::PassCount), "0");
}

TEST_F(PlayerTest, LoopSleepHighlightsSleepWithButtonsOffThenStartsTheNextPass)
{
    h.controls.loop = true;
    start("", "10 0 0 0 0");
    const double started = h.desk.clock.now;
    bool seen = false;
    h.desk.pump.at(started, [&] {
        seen = h.controls.colours[Label::SleepCaption] == TextColour::Highlight && !h.controls.commandsEnabled
            && !h.controls.ticks[Tick::Playback];
    });
    tick();
    EXPECT_TRUE(seen);
    EXPECT_NEAR(h.desk.clock.now - started, 5.0, 0.1); // floor(0.5 x 10)
    EXPECT_EQ(h.controls.colours[Label::SleepCaption], TextColour::Normal);
    EXPECT_TRUE(h.controls.ticks[Tick::Playback]);
    EXPECT_EQ(h.player().passCount(), 2);
}

TEST_F(PlayerTest, AHeldPressIsCarriedAcrossARestartAndReleasedWhenPlaybackEnds)
{
    h.controls.loop = true;
    start("1,1,128\r\n");
    for (int i = 0; i < 6; ++i)
        tick();
    EXPECT_EQ(h.desk.pointer.buttons(), Events{press(1, 1)});
    h.rightClick(); // in the middle of the drag
    EXPECT_EQ(h.desk.pointer.buttons(), (Events{press(1, 1), release(1, 1)}));
    EXPECT_EQ(h.controls.text(Label::ClickShown), "");
    h.controls.loop = false; // released where the pass ended, offsets and all
    h.desk.random.values = {0.0, 0.5};
    start("7,7,0\r\n8,8,128\r\n9,9,128\r\n", "0 0 0 4 0");
    h.runPlayback();
    EXPECT_EQ(h.desk.pointer.buttons(), (Events{press(4, 8), release(5, 9)}));
}

TEST_F(PlayerTest, ARestartThatCannotGoOnLeavesTheToolIdleAndSaysWhy)
{
    h.controls.loop = true;
    for (const char* sleep : {"", "abc", "3000000000"}) {
        h.desk.messages.errors.clear();
        h.controls.boxes[SettingBox::SleepBound] = sleep;
        start("1,1,128\r\n");
        h.runPlayback();
        EXPECT_EQ(h.desk.messages.errors.value(0).left(5), "Sleep") << sleep;
        EXPECT_TRUE(idle() && !h.desk.pointer.down);
    }
    h.controls.boxes[SettingBox::SleepBound] = "0"; // the recording vanished between passes
    start("1,1,0\r\n");
    tick();
    QFile::remove(h.path("clickpath.txt"));
    tick();
    EXPECT_TRUE(h.desk.messages.errors.back().contains("No such file"));
    EXPECT_TRUE(idle());
}

TEST_F(PlayerTest, AFaultThatIsNotTheToolsOwnEndsThePassAndIsShown)
{
    h.controls.loop = true;
    start("1,1,128\r\n2,2,128\r\n3,3,0\r\n");
    tick();
    h.desk.pointer.beforeMove = [] { throw std::logic_error("broken step"); };
    tick();
    EXPECT_TRUE(idle()); // no restart either
    EXPECT_FALSE(h.desk.pointer.down);
    EXPECT_EQ(h.desk.messages.errors, QStringList{"Internal error: broken step"});
}

TEST_F(PlayerTest, ClosingTheWindowEndsAWaitAtOnceAndLetsGoOfAHeldPress)
{
    h.desk.random.values = {0.5, 0.5, 0.9};
    start("1,1,128\r\n1,1,0\r\n2,2,128\r\n", "0 100 0 0 0");
    tick();
    const double started = h.desk.clock.now;
    h.desk.pump.at(started + 0.5, [&] {
        h.form().Form_QueryUnload();
        h.form().Form_Unload();
        h.controls.shown.clear();
    });
    tick();
    EXPECT_LT(h.desk.clock.now - started, 1.0);
    EXPECT_TRUE(h.controls.shown.empty()); // no control touched after the close
    tick();
    EXPECT_EQ(events().back(), release(1, 1));

    Harness dragging;
    dragging.writeRecording("1,1,128\r\n2,2,128\r\n");
    dragging.controls.setBoxes("0");
    dragging.form().Command3_Click();
    dragging.form().Timer2_Timer();
    dragging.form().Form_Unload();
    EXPECT_FALSE(dragging.desk.pointer.down);
}

} // namespace
