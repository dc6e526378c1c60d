// The player on a fake desktop with a fake clock: what reaches the desktop,
// what the window shows and how passes end and repeat.
#include "fakes/Fakes.h"
#include "platform/ToolError.h"
#include "recording/StopRequest.h"

#include <gtest/gtest.h>

using namespace clickpath;
using namespace clickpath::fakes;
using app::LabelId;
using app::TextBoxId;
using app::TimerId;

namespace {

InputEvent move(int x, int y) { return {InputEvent::Move, x, y}; }
InputEvent press(int x, int y) { return {InputEvent::Press, x, y}; }
InputEvent release(int x, int y) { return {InputEvent::Release, x, y}; }

class PlayerTest : public ::testing::Test {
protected:
    PlayerTest()
    {
        h.form().Form_Load();
        // Sleep, Click, VM, HM, 1st.: no waits and no offsets unless a test says so.
        h.controls.setBoxes("0", "0", "0", "0", "0");
        h.controls.loopChecked = false;
    }

    void stop() { recording::stopRequest(h.form().tool()); }
    std::vector<InputEvent> buttonEvents() const
    {
        std::vector<InputEvent> out;
        for (const auto& e : h.pointer.events)
            if (e.kind != InputEvent::Move)
                out.push_back(e);
        return out;
    }

    Harness h;
};

TEST_F(PlayerTest, ReplaysEveryRecordAndInjectsClicksAtTheButtonEdges)
{
    h.writeRecording("10,20,0\r\n11,21,128\r\n12,22,128\r\n13,23,0\r\n14,24,0\r\n");
    h.form().Command3_Click();
    EXPECT_TRUE(h.controls.allCommands(false));
    EXPECT_EQ(h.controls.captions[LabelId::Label3], "0");

    EXPECT_EQ(h.runPlayback(), 6); // five records and the read that ends the pass

    const std::vector<InputEvent> expected{move(10, 20), move(11, 21), move(11, 21), press(11, 21), move(12, 22),
        move(13, 23), release(13, 23), move(14, 24)};
    EXPECT_EQ(h.pointer.events, expected);
    EXPECT_FALSE(h.pointer.down);
    EXPECT_EQ(h.controls.windowCaption, "clickpath X:14 Y:24");
    EXPECT_FALSE(h.controls.timers[TimerId::Timer2]);
    EXPECT_TRUE(h.controls.allCommands(true));
    EXPECT_FALSE(h.files.isOpen(h.state().recordFile));
    EXPECT_EQ(h.controls.history(LabelId::Label6), (QStringList{"", "Click!", ""}));
}

TEST_F(PlayerTest, OtherButtonValuesAndRepeatedStatesOnlyMoveThePointer)
{
    h.writeRecording("1,1,1\r\n2,2,0\r\n3,3,128\r\n4,4,128\r\n5,5,-7\r\n6,6,0\r\n7,7,0\r\n");
    h.form().Command3_Click();
    h.runPlayback();
    EXPECT_EQ(buttonEvents(), (std::vector<InputEvent>{press(3, 3), release(6, 6)}));
}

TEST_F(PlayerTest, ClicksLandAtOffsetsDrawnPerPressAndHeldThroughTheDrag)
{
    h.controls.texts[TextBoxId::Text4] = "5"; // horizontal: offsets -5 .. 4
    h.controls.texts[TextBoxId::Text3] = "3"; // vertical: offsets -3 .. 2
    h.random.values = {0.0, 0.999, 0.5, 0.99, 0.0, 0.5};
    h.writeRecording("100,100,128\r\n110,100,128\r\n120,100,0\r\n130,100,0\r\n200,200,128\r\n200,200,0\r\n");
    h.form().Command3_Click();
    h.runPlayback();
    const std::vector<InputEvent> expected{
        move(100, 100), move(95, 102), press(95, 102), // offsets -5, +2
        move(105, 102), move(115, 102), release(115, 102), // the release lands shifted too
        move(130, 100), // no offset after the release
        move(200, 200), move(204, 197), press(204, 197), // second press: 0.99 -> +4, 0.0 -> -3
        move(204, 197), release(204, 197)};
    EXPECT_EQ(h.pointer.events, expected);
    EXPECT_EQ(h.state().offsetX, 0);
    EXPECT_EQ(h.state().offsetY, 0);
}

TEST_F(PlayerTest, DrawOffsetCoversMinusMarginToMarginMinusOne)
{
    playback::Player player(h.form().tool());
    const auto draw = [&](const char* margin, double r) {
        h.controls.texts[TextBoxId::Text4] = margin;
        h.random.values = {r};
        return player.drawOffset(TextBoxId::Text4);
    };
    EXPECT_EQ(draw("180", 0.0), -180);
    EXPECT_EQ(draw("180", 0.9999999), 179);
    EXPECT_EQ(draw("180", 0.5), 0);
    EXPECT_EQ(draw("0", 0.7), 0);
    EXPECT_EQ(draw("2.5", 0.0), -2);
    EXPECT_EQ(draw("2.5", 0.9999), 2);
    EXPECT_EQ(draw(" 3 ", 0.0), -3);
    EXPECT_THROW(draw("", 0.5), ToolError);
    EXPECT_THROW(draw("abc", 0.5), ToolError);
    EXPECT_THROW(draw("1E39", 0.5), ToolError); // beyond single precision
    EXPECT_THROW(draw("3E38", 0.5), ToolError); // the doubled bound overflows
}

TEST_F(PlayerTest, EmptyMarginEndsThePassAtThePressEdgeBeforeAnyPress)
{
    h.controls.texts[TextBoxId::Text4] = "";
    h.writeRecording("1,1,0\r\n2,2,128\r\n3,3,0\r\n");
    h.form().Command3_Click();
    EXPECT_EQ(h.runPlayback(), 2);
    EXPECT_TRUE(buttonEvents().empty());
    EXPECT_EQ(h.state().pressSent, 0);
    EXPECT_FALSE(h.controls.timers[TimerId::Timer2]);
    EXPECT_TRUE(h.controls.allCommands(true));
    EXPECT_TRUE(h.messages.errors.isEmpty()); // errors of a step end the pass silently
}

TEST_F(PlayerTest, BadRecordsEndThePassAfterTheLastWholeRecord)
{
    for (const std::string& bytes : {std::string("5,5,0\r\n6,x,0\r\n"), std::string("5,5,0\r\n6,6"),
             std::string("5,5,0\r\n99999999999,1,0\r\n"), std::string("5,5,0\r\n")}) {
        h.pointer.events.clear();
        h.writeRecording(bytes);
        h.form().Command3_Click();
        EXPECT_EQ(h.runPlayback(), 2) << bytes;
        EXPECT_EQ(h.pointer.events, std::vector<InputEvent>{move(5, 5)}) << bytes;
    }
}

TEST_F(PlayerTest, AutoWithoutARecordingShowsTheErrorAndStaysIdle)
{
    h.form().Command3_Click();
    ASSERT_EQ(h.messages.errors.size(), 1);
    EXPECT_TRUE(h.messages.errors[0].contains(h.recordingPath()));
    EXPECT_FALSE(h.controls.timers[TimerId::Timer2]);
    EXPECT_TRUE(h.controls.allCommands(true));
    EXPECT_EQ(h.state().passCount, 0);
}

TEST_F(PlayerTest, FirstPassWaitRunsOnlyInTheFirstPassAndCountsDown)
{
    h.controls.texts[TextBoxId::Text5] = "3";
    h.writeRecording("1,1,128\r\n1,1,0\r\n");
    h.form().Command3_Click();
    const double start = h.clock.now;
    h.runPlayback();
    EXPECT_GT(h.clock.now - start, 3.0);
    EXPECT_LT(h.clock.now - start, 3.2);
    EXPECT_EQ(h.controls.history(LabelId::Label9), (QStringList{"3", "2", "1", "0"}));
    EXPECT_EQ(h.controls.colours[LabelId::Label14], app::kBlack);
    EXPECT_EQ(h.controls.colours[LabelId::Label11], app::kBlack);
    EXPECT_EQ(h.controls.captions[LabelId::Label9], "0"); // a wait that runs out keeps its number

    // A finished pass does not reset the count of passes: no first-pass wait now.
    h.controls.colours.clear();
    h.form().Command3_Click();
    const double second = h.clock.now;
    h.runPlayback();
    EXPECT_EQ(h.state().passCount, 2);
    EXPECT_EQ(h.controls.colours.count(LabelId::Label14), 0u);
    EXPECT_LT(h.clock.now - second, 0.5);
}

TEST_F(PlayerTest, ClickWaitDrawsItsLengthFromTheClickBox)
{
    h.controls.texts[TextBoxId::Text2] = "10";
    h.state().passCount = 5; // not a first pass
    h.random.values = {0.5, 0.5, 0.55}; // two offsets, then floor(5.5) = 5 s
    h.writeRecording("1,1,128\r\n1,1,0\r\n");
    h.form().Command3_Click();
    const double start = h.clock.now;
    h.runPlayback();
    EXPECT_NEAR(h.clock.now - start, 5.0, 0.1);
    EXPECT_EQ(h.controls.history(LabelId::Label9).front(), "5");
}

TEST_F(PlayerTest, EditingTheFirstPassBoxEndsARunningWait)
{
    h.controls.texts[TextBoxId::Text5] = "180";
    h.writeRecording("1,1,128\r\n1,1,0\r\n");
    h.form().Command3_Click();
    const double start = h.clock.now;
    h.pump.at(start + 10, [&] { h.controls.texts[TextBoxId::Text5] = "5"; });
    h.runPlayback();
    EXPECT_NEAR(h.clock.now - start, 10.0, 0.1);
}

TEST_F(PlayerTest, StopInsideTheFirstPassWaitEndsThePassWithoutClickWaitOrRestart)
{
    h.controls.loopChecked = true;
    h.controls.texts[TextBoxId::Text5] = "60";
    h.writeRecording("1,1,128\r\n1,1,0\r\n2,2,0\r\n");
    h.form().Command3_Click();
    h.pump.at(h.clock.now + 2, [&] { stop(); });
    h.clock.now += 0.01;
    h.form().Timer2_Timer(); // press
    h.form().Timer2_Timer(); // release, then the wait until the stop
    EXPECT_EQ(h.controls.captions[LabelId::Label9], "");
    EXPECT_TRUE(h.controls.allCommands(true));
    EXPECT_EQ(h.controls.colours[LabelId::Label14], app::kBlack);
    EXPECT_EQ(h.controls.colours.count(LabelId::Label11), 0u);
    EXPECT_TRUE(h.controls.timers[TimerId::Timer2]); // the next tick ends the pass
    h.form().Timer2_Timer();
    EXPECT_FALSE(h.controls.timers[TimerId::Timer2]);
    EXPECT_EQ(h.state().passCount, 0);
    EXPECT_EQ(h.pointer.events.back(), release(1, 1));
}

TEST_F(PlayerTest, StopInsideTheClickWaitEndsThePassAtTheNextTick)
{
    h.controls.loopChecked = true;
    h.controls.texts[TextBoxId::Text2] = "100";
    h.random.values = {0.5, 0.5, 0.9};
    h.writeRecording("1,1,128\r\n1,1,0\r\n2,2,0\r\n");
    h.form().Command3_Click();
    h.pump.at(h.clock.now + 1, [&] { stop(); });
    h.runPlayback();
    EXPECT_EQ(h.controls.captions[LabelId::Label9], "");
    EXPECT_EQ(h.controls.colours[LabelId::Label11], app::kBlack);
    EXPECT_FALSE(h.controls.timers[TimerId::Timer2]);
    EXPECT_TRUE(h.controls.allCommands(true));
    EXPECT_EQ(h.pointer.events.back(), release(1, 1)); // record 2,2 never replayed
}

TEST_F(PlayerTest, ATickDueInsideAWaitStartsNoSecondStep)
{
    h.controls.texts[TextBoxId::Text2] = "10";
    h.random.values = {0.5, 0.5, 0.35}; // 3 s
    h.writeRecording("1,1,128\r\n1,1,0\r\n2,2,0\r\n");
    h.form().Command3_Click();
    h.pump.afterPumps(5, [&] { h.form().Timer2_Timer(); });
    h.form().Timer2_Timer();
    h.form().Timer2_Timer(); // release and wait; the nested tick does nothing
    EXPECT_EQ(h.pointer.events.back(), release(1, 1));
    h.form().Timer2_Timer();
    EXPECT_EQ(h.pointer.events.back(), move(2, 2));
}

TEST_F(PlayerTest, LoopingCountsPassesAndRestartsInTheSameTickWithoutSleep)
{
    h.controls.loopChecked = true;
    h.controls.texts[TextBoxId::Text5] = "1";
    h.writeRecording("1,1,128\r\n1,1,0\r\n");
    h.form().Command3_Click();
    for (int tick = 0; tick < 9; ++tick)
        h.form().Timer2_Timer();
    // Three records per pass with the failing read: three passes done.
    EXPECT_EQ(h.controls.history(LabelId::Label3), (QStringList{"0", "1", "2", "3"}));
    EXPECT_EQ(h.state().passCount, 4);
    EXPECT_EQ(h.state().looping, app::kTrue);
    EXPECT_TRUE(h.controls.timers[TimerId::Timer2]);
    EXPECT_TRUE(h.controls.allCommands(false));
    EXPECT_EQ(h.controls.history(LabelId::Label9), (QStringList{"1", "0"})); // first pass only

    // Unchecking "LOOP" lets the pass end; the count goes on at the next "Auto".
    h.controls.loopChecked = false;
    h.runPlayback();
    EXPECT_EQ(h.state().looping, app::kTrue);
    h.form().Command3_Click();
    EXPECT_EQ(h.controls.captions[LabelId::Label3], "3");

    // After a stop the count starts again.
    stop();
    h.runPlayback();
    h.form().Command3_Click();
    EXPECT_EQ(h.controls.captions[LabelId::Label3], "0");
    EXPECT_EQ(h.state().loopCount, 0);
}

TEST_F(PlayerTest, LoopSleepHighlightsSleepAndTheStopEndsTheLoop)
{
    h.controls.loopChecked = true;
    h.controls.texts[TextBoxId::Text1] = "10";
    h.random.values = {0.5}; // 5 s
    h.writeRecording("");
    h.form().Command3_Click();
    const double start = h.clock.now;
    h.pump.afterPumps(1, [&] {
        EXPECT_EQ(h.controls.colours[LabelId::Label8], app::kHighlightColour);
        EXPECT_TRUE(h.controls.allCommands(false));
        EXPECT_FALSE(h.controls.timers[TimerId::Timer2]);
    });
    h.pump.at(start + 2, [&] { stop(); });
    h.form().Timer2_Timer();
    EXPECT_EQ(h.controls.captions[LabelId::Label9], "");
    EXPECT_EQ(h.controls.colours[LabelId::Label8], app::kBlack);
    EXPECT_TRUE(h.controls.allCommands(true));
    EXPECT_FALSE(h.controls.timers[TimerId::Timer2]);
    EXPECT_EQ(h.state().passCount, 0);
    EXPECT_EQ(h.controls.captions[LabelId::Label3], "1");
}

TEST_F(PlayerTest, LoopSleepThatRunsOutStartsTheNextPass)
{
    h.controls.loopChecked = true;
    h.controls.texts[TextBoxId::Text1] = "10";
    h.random.values = {0.5};
    h.writeRecording("");
    h.form().Command3_Click();
    const double start = h.clock.now;
    h.form().Timer2_Timer();
    EXPECT_NEAR(h.clock.now - start, 5.0, 0.1);
    EXPECT_EQ(h.controls.colours[LabelId::Label8], app::kBlack);
    EXPECT_TRUE(h.controls.timers[TimerId::Timer2]);
    EXPECT_EQ(h.state().passCount, 2);
}

TEST_F(PlayerTest, StopInTheLastPumpOfTheLoopSleepIsNotLost)
{
    h.controls.loopChecked = true;
    h.controls.texts[TextBoxId::Text1] = "10";
    h.random.values = {0.5}; // the sleep ends at start + 5 s
    h.pump.step = 0.25; // exact steps: the last cycle is the one at +5 s
    h.clock.now = 1000.0;
    h.writeRecording("");
    h.form().Command3_Click();
    h.pump.at(1005.1, [&] { stop(); }); // runs after that cycle's stop test
    h.form().Timer2_Timer();
    EXPECT_FALSE(h.controls.timers[TimerId::Timer2]);
    EXPECT_TRUE(h.controls.allCommands(true));
    EXPECT_EQ(h.state().passCount, 0);
    EXPECT_FALSE(h.files.isOpen(h.state().recordFile));
}

TEST_F(PlayerTest, StopBetweenStepsEndsThePassWithoutRestart)
{
    h.controls.loopChecked = true;
    h.writeRecording("1,1,0\r\n2,2,0\r\n3,3,0\r\n");
    h.form().Command3_Click();
    h.form().Timer2_Timer();
    stop();
    EXPECT_TRUE(h.controls.timers[TimerId::Timer2]);
    h.form().Timer2_Timer();
    EXPECT_FALSE(h.controls.timers[TimerId::Timer2]);
    EXPECT_EQ(h.pointer.events, std::vector<InputEvent>{move(1, 1)});
}

TEST_F(PlayerTest, HeldPressIsCarriedAcrossALoopRestartButNeverLeftDown)
{
    h.controls.loopChecked = true;
    h.writeRecording("1,1,128\r\n");
    h.form().Command3_Click();
    for (int tick = 0; tick < 6; ++tick)
        h.form().Timer2_Timer();
    EXPECT_EQ(buttonEvents(), std::vector<InputEvent>{press(1, 1)});
    EXPECT_EQ(h.state().pressSent, 1);

    stop(); // a stop in the middle of the drag
    h.form().Timer2_Timer();
    EXPECT_EQ(buttonEvents(), (std::vector<InputEvent>{press(1, 1), release(1, 1)}));
    EXPECT_FALSE(h.pointer.down);
    EXPECT_EQ(h.state().pressSent, 0);
    EXPECT_EQ(h.controls.captions[LabelId::Label6], "");
}

TEST_F(PlayerTest, PassEndingWithoutLoopReleasesAHeldPressAtTheLastPosition)
{
    h.controls.texts[TextBoxId::Text4] = "4";
    h.random.values = {0.0, 0.5};
    h.writeRecording("7,7,0\r\n8,8,128\r\n9,9,128\r\n");
    h.form().Command3_Click();
    h.runPlayback();
    EXPECT_EQ(buttonEvents(), (std::vector<InputEvent>{press(4, 8), release(5, 9)}));
    EXPECT_EQ(h.state().offsetX, 0);
}

TEST_F(PlayerTest, FailedLoopRestartLeavesTheWindowIdleAndSaysWhy)
{
    h.controls.loopChecked = true;
    for (const QString& sleep : {QStringLiteral(""), QStringLiteral("abc"), QStringLiteral("3000000000")}) {
        h.messages.errors.clear();
        h.controls.texts[TextBoxId::Text1] = sleep;
        h.writeRecording("1,1,128\r\n");
        h.form().Command3_Click();
        h.form().Timer2_Timer();
        h.form().Timer2_Timer();
        EXPECT_EQ(h.messages.errors.size(), 1) << sleep.toStdString();
        EXPECT_TRUE(h.messages.errors.value(0).startsWith("Sleep")) << h.messages.errors.value(0).toStdString();
        EXPECT_FALSE(h.controls.timers[TimerId::Timer2]);
        EXPECT_TRUE(h.controls.allCommands(true));
        EXPECT_FALSE(h.pointer.down);
    }

    // A working recording that vanished between passes.
    h.messages.errors.clear();
    h.controls.texts[TextBoxId::Text1] = "0";
    h.writeRecording("1,1,0\r\n");
    h.form().Command3_Click();
    h.form().Timer2_Timer();
    QFile::remove(h.recordingPath());
    h.form().Timer2_Timer();
    ASSERT_EQ(h.messages.errors.size(), 1);
    EXPECT_TRUE(h.messages.errors[0].contains("No such file"));
    EXPECT_FALSE(h.controls.timers[TimerId::Timer2]);
    EXPECT_TRUE(h.controls.allCommands(true));
}

TEST_F(PlayerTest, ARecordingTruncatedWhileALoopRunsPlaysWhatIsLeft)
{
    h.controls.loopChecked = true;
    h.writeRecording("1,1,0\r\n2,2,128\r\n3,3,0\r\n4,4,0\r\n");
    h.form().Command3_Click();
    for (int tick = 0; tick < 5; ++tick) // one whole pass, and the restart
        h.form().Timer2_Timer();
    h.writeRecording("9,9,0\r\n8,8"); // cut short, mid-record
    h.pointer.events.clear();
    for (int tick = 0; tick < 8; ++tick)
        h.form().Timer2_Timer();
    EXPECT_EQ(h.pointer.events, std::vector<InputEvent>(4, move(9, 9)));
    EXPECT_TRUE(h.controls.timers[TimerId::Timer2]);
    EXPECT_FALSE(h.pointer.down);
    EXPECT_TRUE(h.messages.errors.isEmpty());
}

TEST_F(PlayerTest, ClosingTheWindowInsideAWaitEndsItAtOnceAndLetsGoOfEverything)
{
    h.controls.texts[TextBoxId::Text2] = "100";
    h.random.values = {0.5, 0.5, 0.9};
    h.writeRecording("1,1,128\r\n1,1,0\r\n2,2,128\r\n");
    h.form().Command3_Click();
    h.form().Timer2_Timer();
    int writesAtClose = 0;
    h.pump.afterPumps(3, [&] {
        h.form().Form_QueryUnload();
        h.form().Form_Unload();
        writesAtClose = h.controls.writes;
    });
    const double start = h.clock.now;
    h.form().Timer2_Timer();
    EXPECT_LT(h.clock.now - start, 1.0);
    EXPECT_EQ(h.controls.writes, writesAtClose);
    EXPECT_FALSE(h.files.isOpen(h.state().recordFile));
    h.form().Timer2_Timer(); // a late tick does nothing
    EXPECT_EQ(h.pointer.events.back(), release(1, 1));
}

TEST_F(PlayerTest, ClosingTheWindowWhileAReplayedPressIsHeldReleasesIt)
{
    h.writeRecording("1,1,128\r\n2,2,128\r\n");
    h.form().Command3_Click();
    h.form().Timer2_Timer();
    ASSERT_TRUE(h.pointer.down);
    h.form().Form_QueryUnload();
    h.form().Form_Unload();
    EXPECT_FALSE(h.pointer.down);
    EXPECT_FALSE(h.files.isOpen(h.state().recordFile));
}

} // namespace
