// The window's handlers on the fake desktop: what recording and playback report becomes its labels, colours,
// caption and enabled buttons.
#include "app/Form1Harness.h"

#include <gtest/gtest.h>

using namespace clickpath;
using namespace clickpath::fakes;
using platform::MouseButton;

namespace {

struct Form1Test : ::testing::Test {
    // Starts "Auto" on `recording` with the boxes Sleep, Click, VM, HM, 1st.
    void play(const std::string& recording, const QString& boxes)
    {
        h.controls.setBoxes(boxes);
        h.writeRecording(recording);
        h.form.Command3_Click();
    }
    // The window at a moment: the buttons, the running timers and the wait captions that are highlighted.
    QString state()
    {
        QString out = h.controls.commandsEnabled ? "buttons" : "locked";
        for (const auto& [tick, name] : {std::pair{Tick::Recording, " Timer1"}, {Tick::Playback, " Timer2"}})
            out += h.controls.running(tick) ? name : "";
        for (const auto& [label, name] : {std::pair{Label::FirstPassCaption, " 1st."},
                 {Label::ClickWaitCaption, " Click"}, {Label::SleepCaption, " Sleep"}})
            out += h.controls.colours[label] == TextColour::Highlight ? name : "";
        return out;
    }
    void at(double seconds, QString& seen)
    {
        h.desk.time.at(h.desk.time.now + seconds, [this, &seen] { seen = state(); });
    }

    Harness h;
};

TEST_F(Form1Test, APassShowsItsClicksWaitsCountdownAndPositionAndLocksTheButtonsWhileItRuns)
{
    h.controls.loop = false;
    h.controls.shown[Label::PassCount] = {"7"};
    play("1,1,128\r\n1,1,0\r\n2,2,0\r\n", "0 10 0 0 2");
    QString inFirstWait, inClickWait;
    (at(1, inFirstWait), at(4, inClickWait));
    h.desk.time.run();
    EXPECT_EQ(inFirstWait, "locked 1st.");
    EXPECT_EQ(inClickWait, "locked Click");
    EXPECT_EQ(state(), "buttons");
    EXPECT_EQ(h.controls.history(Label::PassCount), "7 0");
    EXPECT_EQ(h.controls.history(Label::ClickShown), " Click! ");
    EXPECT_EQ(h.controls.history(Label::Countdown), "2 1 0 5 4 3 2 1 0"); // the last number stays
    EXPECT_EQ(h.controls.repaints, 1);                                    // at the press
    EXPECT_EQ(h.controls.position, "X:2 Y:2");
}

TEST_F(Form1Test, AStopInAWaitClearsTheCountdownAndRecThenRecordsWithTheButtonsLocked)
{
    play("1,1,128\r\n1,1,0\r\n2,2,0\r\n", "0 100 0 0 0");
    h.desk.time.at(1003, [this] { (h.rightClick(), h.form.Command1_Click()); });
    QString recording;
    h.desk.time.at(1003.5, [&] { (recording = state(), h.rightClick()); });
    h.desk.time.run();
    EXPECT_EQ(recording, "locked Timer1");
    EXPECT_EQ(h.controls.text(Label::Countdown), "");
    EXPECT_EQ(state(), "buttons");
    const QString lines = QString::fromStdString(h.readRecording());
    EXPECT_NEAR(lines.count("1,1,0\r\n"), 50, 1); // a line every 10 ms, and nothing else
    EXPECT_EQ(lines.size() % 7, 0);
}

TEST_F(Form1Test, LoopIsReadAtTheEndOfEachPassWhichCountsInThePassCountAndSleepsLocked)
{
    play("1,1,0\r\n", "10 0 0 0 0");
    QString sleeping;
    at(3, sleeping);
    h.desk.time.at(h.desk.time.now + 11, [this] { h.controls.loop = false; });
    h.desk.time.run();
    EXPECT_EQ(sleeping, "locked Sleep");
    EXPECT_EQ(h.controls.history(Label::PassCount), "0 1 2 3");
    EXPECT_EQ(state(), "buttons");
    EXPECT_EQ(h.desk.pointer.path(), "1,1");
    h.form.Command1_Click(); // "Rec" counts the passes from 0 again, also when it ends with no stop of playback
    (FileSizeLimit(0), h.desk.time.runFor(0.01));
    play("1,1,0\r\n", "10 0 0 0 0");
    EXPECT_EQ(h.controls.text(Label::PassCount), "0");
}

TEST_F(Form1Test, RecLeavesOutTheButtonsBeforeItShowsClickAndEndsAtTheRightButtonOrAClose)
{
    h.controls.shown[Label::PassCount] = {"12"};
    h.controls.shown[Label::ClickShown] = {"Click!"};
    // The click on "Rec", or a right click just before, may still wait in the watcher: no part of the recording.
    h.desk.mouse->pending
        = {{MouseButton::Secondary, true}, {MouseButton::Secondary, false}, {MouseButton::Primary, true}};
    h.form.Command1_Click();
    EXPECT_EQ(state(), "locked Timer1");
    EXPECT_EQ(h.controls.text(Label::PassCount) + h.controls.text(Label::ClickShown), "");
    h.controls.repaints = 0;
    (h.desk.pointer.x = 640, h.desk.time.runFor(0.01));
    h.desk.mouse->click(MouseButton::Primary, {true});
    EXPECT_EQ(h.controls.text(Label::ClickShown), "Click!");
    EXPECT_EQ(h.controls.repaints, 1);
    h.desk.time.runFor(0.01);
    h.rightClick();
    EXPECT_EQ(state(), "buttons");
    EXPECT_EQ(h.controls.position, "X:640 Y:0");
    EXPECT_EQ(h.readRecording(), "640,0,0\r\n640,0,128\r\n");
    h.form.Command1_Click();
    h.desk.time.runFor(0.01);
    h.form.Form_QueryUnload();
    EXPECT_FALSE(h.desk.mouse->notify); // before the unload lets go of it
    h.form.Form_Unload();
    EXPECT_EQ(state(), "buttons");
    EXPECT_EQ(h.readRecording(), "640,0,0\r\n");
}

TEST(Form1FaultTest, AStopOrAFailureAnywhereEndsWithTheButtonsEnabledNoPressLeftAndTheFailureSaidOnce)
{
    const auto refusal = [](const char* what) { return [what] { throw ToolError(what); }; };
    const auto stopOnce
        = [](Harness& h) { return [&h, done = false]() mutable { done || (h.rightClick(), done = true); }; };
    // Between the first and the second record: a release refused at a stop; a move refused, and then the
    // release; a stop that comes while the move to a press's record runs.
    const std::tuple<const char*, std::string, std::function<void(Harness&)>, QString, QStringList> cases[] = {
        {"refused release", "1,1,128",
            [&](Harness& h) { (h.desk.pointer.beforeRelease = refusal("no"), h.rightClick()); }, "1,1 P", {"no"}},
        {"refused move", "1,1,128",
            [&](Harness& h) { h.desk.pointer.beforeMove = h.desk.pointer.beforeRelease = refusal("no"); }, "1,1 P",
            {"no", "no"}},
        {"stop in a move", "0,0,0", [&](Harness& h) { h.desk.pointer.beforeMove = stopOnce(h); }, "0,0 1,1", {}},
    };
    for (const auto& [name, first, fault, trail, said] : cases) {
        SCOPED_TRACE(name);
        Harness h;
        h.controls.setBoxes("0");
        h.writeRecording(first + QByteArray("\r\n1,1,128").repeated(99).toStdString());
        h.form.Command3_Click();
        h.desk.time.at(1000.015, [&, fault = fault] { fault(h); });
        EXPECT_NO_THROW(h.desk.time.run());
        EXPECT_TRUE(h.controls.commandsEnabled);
        EXPECT_EQ(h.desk.pointer.path(), trail);
        EXPECT_EQ(h.desk.messages.errors, said);
        h.rightClick();
        h.desk.pointer.beforeRelease = [] {};
        h.form.Form_Unload(); // a press still held goes at the end
        EXPECT_FALSE(h.desk.pointer.down());
    }
}

TEST_F(Form1Test, AnotherSessionInFrontStopsWhatRunsAndNothingStartsUntilThisOneIsInFrontAgain)
{
    play(QByteArray("1,1,128\r\n").repeated(300).toStdString(), "0 0 0 0 0");
    h.desk.time.at(1000.5, [this] { h.desk.session.leave(); });
    h.desk.time.run();
    EXPECT_EQ(state(), "buttons");
    EXPECT_FALSE(h.desk.pointer.down());
    h.form.Command3_Click();
    h.form.Command1_Click();
    EXPECT_EQ(state(), "buttons");
    EXPECT_EQ(h.desk.messages.errors,
        QStringList({platform::kSessionLeft, platform::kInactiveSession, platform::kInactiveSession}));
    EXPECT_EQ(h.desk.pointer.path(), "1,1 P R");
}

TEST_F(Form1Test, AnEditOfTheFirstPassWaitTakesEffectAtOnce)
{
    h.controls.loop = false;
    play("1,1,128\r\n1,1,0\r\n", "0 0 0 0 100");
    h.desk.time.at(1001, [this] { (h.controls.setBoxText(SettingBox::FirstPassWait, "0"), h.form.Text5_Change()); });
    h.desk.time.run();
    EXPECT_NEAR(h.desk.time.now, 1001, 0.05);
}

} // namespace
