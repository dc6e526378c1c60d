// "Rec" and the recording tick against fakes.
#include "fakes/Fakes.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace clickpath;
using namespace clickpath::fakes;
using app::LabelId;
using app::TimerId;
using platform::kLeftButtonOffset;
using platform::kRightButtonOffset;

namespace {

class RecorderTest : public ::testing::Test {
protected:
    RecorderTest() { h.form().Form_Load(); }

    void tick() { h.form().Timer1_Timer(); }
    void left(int data)
    {
        h.mouse->push(kLeftButtonOffset, data);
        h.mouse->notify();
    }
    void rightClick()
    {
        h.mouse->push(kRightButtonOffset, 128);
        h.mouse->push(kRightButtonOffset, 0);
        h.mouse->notify();
    }

    Harness h;
};

TEST_F(RecorderTest, ButtonEventsBeforeRecAreNotPartOfTheRecording)
{
    // The click on "Rec" reaches the watcher on a connection of its own and
    // may still wait there when the button's handler runs; so may a right
    // click made just before.
    for (const auto& [offset, data] : {std::pair{kRightButtonOffset, 128}, {kRightButtonOffset, 0},
             {kLeftButtonOffset, 128}, {kLeftButtonOffset, 0}})
        h.mouse->push(offset, data);
    h.form().Command1_Click();
    h.mouse->notify(); // what would otherwise have come now
    h.pointer.x = 30;
    h.pointer.y = 15;
    tick();
    EXPECT_TRUE(h.controls.timers[TimerId::Timer1]) << "a right click before Rec stopped the new recording";
    EXPECT_EQ(h.readRecording(), "30,15,0\r\n");

    // A click once the recording runs is kept, however short.
    left(128);
    left(0);
    tick();
    EXPECT_EQ(h.readRecording(), "30,15,0\r\n30,15,128\r\n");
}

TEST_F(RecorderTest, RecStartsFreshAndEachTickAppendsOneLine)
{
    h.controls.captions[LabelId::Label6] = "Click!";
    h.controls.captions[LabelId::Label3] = "12";
    h.state().leftButton = 128;
    h.state().looping = app::kTrue;
    h.writeRecording("old recording\r\n");
    h.form().Command1_Click();
    EXPECT_TRUE(h.controls.timers[TimerId::Timer1]);
    EXPECT_TRUE(h.controls.allCommands(false));
    EXPECT_EQ(h.controls.captions[LabelId::Label6], "");
    EXPECT_EQ(h.controls.captions[LabelId::Label3], "");
    EXPECT_EQ(h.state().leftButton, 0);
    EXPECT_EQ(h.state().looping, app::kFalse);
    EXPECT_EQ(h.readRecording(), "");

    h.pointer.x = 640;
    h.pointer.y = 480;
    tick();
    EXPECT_EQ(h.controls.windowCaption, "clickpath X:640 Y:480");
    h.pointer.x = -1200;
    h.pointer.y = 35;
    tick();
    EXPECT_EQ(h.readRecording(), "640,480,0\r\n-1200,35,0\r\n"); // on disk at each tick
}

TEST_F(RecorderTest, HeldButtonGivesA128RunAndItsReleaseTheFirst0Line)
{
    h.form().Command1_Click();
    tick();
    left(128);
    tick();
    tick();
    tick();
    left(0);
    tick();
    tick();
    rightClick();
    EXPECT_EQ(h.readRecording(), "0,0,0\r\n0,0,128\r\n0,0,128\r\n0,0,128\r\n0,0,0\r\n0,0,0\r\n");
    EXPECT_FALSE(h.controls.timers[TimerId::Timer1]);
    EXPECT_TRUE(h.controls.allCommands(true));
}

TEST_F(RecorderTest, AClickShorterThanATickStillShowsOnce)
{
    h.form().Command1_Click();
    tick();
    left(128); // a 2 ms tap: press and release between two ticks
    left(0);
    tick();
    tick();
    EXPECT_EQ(h.readRecording(), "0,0,0\r\n0,0,128\r\n0,0,0\r\n");
}

TEST_F(RecorderTest, StopBeforeTheFirstTickLeavesAnEmptyRecording)
{
    h.writeRecording("1,1,0\r\n");
    h.form().Command1_Click();
    rightClick();
    EXPECT_EQ(h.readRecording(), "");
    EXPECT_FALSE(h.controls.timers[TimerId::Timer1]);
    EXPECT_FALSE(h.files.isOpen(h.state().recordFile));
}

TEST_F(RecorderTest, FailedPointerQueryRepeatsTheLastPosition)
{
    h.form().Command1_Click();
    h.pointer.x = 5;
    tick();
    h.pointer.failQuery = true;
    h.pointer.x = 9;
    tick();
    EXPECT_EQ(h.readRecording(), "5,0,0\r\n5,0,0\r\n");
}

TEST_F(RecorderTest, RecThatCannotOpenTheFileLeavesNoTimerRunning)
{
    QDir(h.dir()).mkdir("clickpath.txt"); // a folder where the file should be
    h.form().Command1_Click();
    ASSERT_EQ(h.messages.errors.size(), 1);
    EXPECT_TRUE(h.messages.errors[0].contains("clickpath.txt"));
    EXPECT_TRUE(h.messages.errors[0].contains("Is a directory"));
    EXPECT_FALSE(h.controls.timers[TimerId::Timer1]);
    EXPECT_TRUE(h.controls.allCommands(true));
}

TEST_F(RecorderTest, AFailingWriteEndsTheRecordingAndKeepsTheToolUsable)
{
    ASSERT_TRUE(QFile::link("/dev/full", h.recordingPath()));
    h.form().Command1_Click();
    ASSERT_TRUE(h.messages.errors.isEmpty());
    tick();
    ASSERT_EQ(h.messages.errors.size(), 1);
    EXPECT_TRUE(h.messages.errors[0].contains("No space left on device"));
    EXPECT_FALSE(h.controls.timers[TimerId::Timer1]);
    EXPECT_TRUE(h.controls.allCommands(true));
    EXPECT_FALSE(h.files.isOpen(h.state().recordFile));

    // Usable again: a recording elsewhere works.
    QFile::remove(h.recordingPath());
    h.form().Command1_Click();
    tick();
    EXPECT_EQ(h.readRecording(), "0,0,0\r\n");
}

TEST_F(RecorderTest, ClosingTheWindowWhileRecordingKeepsEveryLine)
{
    h.form().Command1_Click();
    tick();
    tick();
    h.form().Form_QueryUnload();
    h.form().Form_Unload();
    EXPECT_FALSE(h.controls.timers[TimerId::Timer1]);
    EXPECT_FALSE(h.files.isOpen(h.state().recordFile));
    EXPECT_EQ(h.readRecording(), "0,0,0\r\n0,0,0\r\n");
}

} // namespace
