// "Rec", the recording tick and the mouse button watcher on the fake desktop.
#include "fakes/FakeDesktop.h"

#include <QDir>
#include <QRegularExpression>

#include <gtest/gtest.h>

using namespace clickpath;
using namespace clickpath::fakes;
using platform::MouseButton;

namespace {

struct RecordingTest : ::testing::Test {
    void tick() { h.form.Timer1_Timer(); }
    QString state()
    {
        return QString(h.controls.ticks[Tick::Recording] ? "tick " : "") + (h.controls.commandsEnabled ? "" : "lock");
    }

    Harness h;
};

TEST_F(RecordingTest, EachTickAppendsThePointerAndTheButtonUntilTheRightButton)
{
    h.controls.shown[Label::PassCount] = {"12"};
    h.writeRecording("old recording\r\n");
    // The click on "Rec", or a right click just before, may still wait in the watcher: no part of the recording.
    h.desk.mouse->pending = {{MouseButton::Right, true}, {MouseButton::Right, false}, {MouseButton::Left, true}};
    h.form.Command1_Click();
    h.desk.mouse->notify(); // what would otherwise have come now
    EXPECT_EQ(state(), "tick lock");
    EXPECT_EQ(h.controls.text(Label::PassCount) + h.controls.text(Label::ClickShown), ""); // the click on "Rec" too
    EXPECT_EQ(h.readRecording(), "");
    for (const auto& [x, y] : {std::pair{640, 480}, {-1200, 35}})
        (h.desk.pointer.x = x, h.desk.pointer.y = y, tick());
    EXPECT_EQ(h.controls.position, "X:-1200 Y:35");
    EXPECT_EQ(h.readRecording(), "640,480,0\r\n-1200,35,0\r\n"); // on disk at each tick
    h.desk.pointer.lost = true;                                  // the line repeats the last position
    tick();
    h.rightClick();
    tick(); // a tick already due when the stop came
    EXPECT_EQ(state(), "");
    EXPECT_EQ(h.readRecording(), "640,480,0\r\n-1200,35,0\r\n-1200,35,0\r\n");
}

TEST_F(RecordingTest, EveryPressOfTheLeftButtonShowsAsARunOf128)
{
    const std::pair<std::vector<std::vector<bool>>, const char*> cases[] = {
        {{{}, {true}, {}, {}, {false}, {}}, "0 128 128 128 0 0"},        // held over three ticks
        {{{}, {true, false}, {}}, "0 128 0"},                            // a tap between two ticks
        {{{}, {true, false, true, false}, {}, {}, {}}, "0 128 0 128 0"}, // a double-click between two
        {{{true}, {}, {false, true}, {}, {false}}, "128 128 0 128 0"},   // a release and a press between two
        {{{false}, {}}, "0 0"},                                          // the release of a press before "Rec"
        {{}, ""},                                                        // stopped before the first tick
    };
    for (const auto& [edgesBeforeTicks, values] : cases) {
        h.form.Command1_Click();
        for (const auto& edges : edgesBeforeTicks) {
            for (bool pressed : edges)
                h.left({pressed});
            tick();
        }
        h.rightClick();
        QString recorded = QString::fromStdString(h.readRecording());
        recorded.replace(QRegularExpression("-?\\d+,-?\\d+,"), "").replace("\r\n", " "); // the button values alone
        EXPECT_EQ(recorded.trimmed(), values);
    }
}

TEST(LeftButtonLatchTest, KeepsNoEdgeWhileNoRecordingRuns)
{
    recording::LeftButtonLatch latch;
    for (const char* when : {"before the first recording", "after one"}) {
        for (int click = 0; click < 100000; ++click)
            latch.pressed(), latch.released();
        EXPECT_EQ(latch.owedLines(), 0u) << when;
        (latch.start(), latch.pressed());
        EXPECT_EQ(latch.owedLines(), 1u) << when;
        latch.stop();
    }
}

TEST_F(RecordingTest, AFileThatCannotBeWrittenEndsTheRecordingAndSaysWhyAndACloseKeepsEveryLine)
{
    QDir(h.path("")).mkdir("clickpath.txt"); // a folder where the file should be
    h.form.Command1_Click();
    EXPECT_EQ(state(), "");
    QDir(h.path("")).rmdir("clickpath.txt");
    h.form.Command1_Click();
    (FileSizeLimit(0), tick()); // a line that cannot be written to a full disk
    EXPECT_EQ(state(), "");
    EXPECT_TRUE(h.desk.messages.errors.join('|').contains(
        QRegularExpression("clickpath.txt for writing: Is a directory\\|.*clickpath.txt: File too large")));
    h.form.Command1_Click();
    tick();
    h.form.Form_Unload();
    EXPECT_FALSE(h.controls.ticks[Tick::Recording]);
    EXPECT_EQ(h.readRecording(), "0,0,0\r\n");
}

TEST_F(RecordingTest, ADesktopThatNeverTellsThePositionRefusesRecAndLeavesTheRecordingAsItWas)
{
    h.writeRecording("1,2,0\r\n");
    h.desk.pointer.positionUnknown = "sway tells no program where the pointer is";
    h.form.Command1_Click();
    EXPECT_TRUE(!h.controls.ticks[Tick::Recording] && h.controls.commandsEnabled);
    EXPECT_EQ(h.desk.messages.errors, QStringList{"sway tells no program where the pointer is"});
    EXPECT_EQ(h.readRecording(), "1,2,0\r\n");
}

TEST_F(RecordingTest, TheWatcherShowsClickHandlesTenItemsANotificationAndStopsAtShutdown)
{
    h.left({true, false});
    EXPECT_EQ(h.controls.history(Label::ClickShown) + QString::number(h.controls.repaints), "Click! 1"); // at the press
    h.desk.mouse->pending.assign(25, {MouseButton::Left, true}); // of a buffer of 100
    for (const int handled : {10, 20, 25}) {
        h.desk.mouse->notify();
        EXPECT_EQ(h.controls.shown[Label::ClickShown].count("Click!"), 1 + handled);
    }
    h.desk.mouse->failNextRead = true; // handles nothing, and takes the mouse again
    h.left({false});
    const auto notify = h.desk.mouse->notify;
    h.form.Form_QueryUnload();
    notify(); // a late notification
    EXPECT_EQ(h.controls.text(Label::ClickShown) + QString::number(h.desk.mouse->resumes + h.desk.mouse->capacity),
        "Click!101");
    Harness refused(false);
    refused.desk.refuseMouse = true;
    EXPECT_THROW(refused.form.Form_Load(), ToolError);
}

TEST_F(RecordingTest, RecAfterAStopOfPlaybackBeforeItsNextTickRecordsOnAndKeepsEveryLine)
{
    h.writeRecording("1,1,0\r\n2,2,0\r\n3,3,0\r\n");
    h.form.Command3_Click();
    h.form.Timer2_Timer();
    h.rightClick();
    h.form.Command1_Click();
    h.form.Timer2_Timer(); // the playback tick that was due
    (tick(), tick());
    EXPECT_EQ(state(), "tick lock");
    EXPECT_EQ(h.readRecording(), "1,1,0\r\n1,1,0\r\n");
    EXPECT_TRUE(h.desk.messages.errors.isEmpty());
}

} // namespace
