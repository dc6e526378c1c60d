// The tool's real X11 layer on a private Xvfb: what it does to the desktop,
// what it records of a user's moves and clicks, and that no stop, close or
// crash leaves a button down or loses a line.
#include "core/RecordingFormat.h"
#include "platform/ToolError.h"
#include "platform/x11/X11Display.h"
#include "platform/x11/X11Harness.h"
#include "platform/x11/X11Pointer.h"

#include <QApplication>
#include <QCheckBox>
#include <QProcess>
#include <QTimer>

#include <gtest/gtest.h>

#include <X11/extensions/XTest.h>

#include <csignal>

using namespace clickpath;
using namespace clickpath::fakes;

namespace {

// Consecutive equal lines of a recording folded into one; false in `crLf`
// when a line does not end in CR LF.
std::vector<std::string> runsOf(const std::string& bytes, bool* crLf)
{
    std::vector<std::string> runs;
    *crLf = bytes.size() >= 2 && bytes.substr(bytes.size() - 2) == "\r\n";
    for (const QString& line : QString::fromStdString(bytes).split('\n', Qt::SkipEmptyParts)) {
        *crLf = *crLf && line.endsWith('\r');
        if (runs.empty() || runs.back() != line.chopped(1).toStdString())
            runs.push_back(line.chopped(1).toStdString());
    }
    return runs;
}

TEST(X11Test, AutoMovesThroughEveryPositionAndClicksOnTheRecordedPixel)
{
    QTemporaryDir dir;
    XUser user;
    user.moveTo(5, 5);
    user.take();
    RealTool tool(dir.path());
    tool.window.loopBox()->setChecked(false);
    writeFile(dir.filePath("clickpath.txt"),
        "400,300,0\r\n410,305,0\r\n420,310,128\r\n430,315,128\r\n440,320,0\r\n"
        "450,325,0\r\n700,600,128\r\n700,600,0\r\n1279,1023,0\r\n");
    tool.form.Command3_Click();
    ASSERT_TRUE(RealTool::pumpUntil([&] { return !tool.playing(); }, 20000));
    const std::vector<InputEvent> expected{move(400, 300), move(410, 305), move(420, 310), press(420, 310),
        move(430, 315), move(440, 320), release(440, 320), move(450, 325), move(700, 600), press(700, 600),
        release(700, 600), move(1279, 1023)};
    EXPECT_EQ(user.take(), expected);
    EXPECT_EQ(user.buttonsDown(), 0u);
    EXPECT_TRUE(tool.commandsEnabled());
    EXPECT_EQ(tool.window.windowTitle(), "clickpath X:1279 Y:1023");
    EXPECT_TRUE(tool.messages.errors.isEmpty()) << tool.messages.errors.join("; ").toStdString();

    // Positions beyond the 16 bits of the request are clamped, not wrapped.
    tool.desktop.services().pointer.moveTo(100000, -70000);
    EXPECT_EQ(user.take(), std::vector<InputEvent>{move(1279, 0)});
}

TEST(X11Test, RecordsMovesAndADragUntilTheRightButtonAndReplaysThem)
{
    QTemporaryDir dir;
    XUser user;
    user.moveTo(100, 100);
    RealTool tool(dir.path());
    tool.window.show();
    tool.form.Command1_Click();
    for (const auto& act : std::vector<std::function<void()>>{[&] { user.moveTo(200, 200); },
             [&] { user.button(1, true); }, [&] { user.button(2, true); }, [&] { user.moveTo(250, 260); },
             [&] { user.button(2, false); }, [&] { user.button(1, false); }}) {
        RealTool::runFor(60);
        act();
    }
    RealTool::runFor(60);
    user.button(3, true);
    ASSERT_TRUE(RealTool::pumpUntil([&] { return tool.commandsEnabled(); }, 2000));
    user.button(3, false);
    RealTool::runFor(50);
    bool crLf = false;
    const auto runs = runsOf(readFile(dir.filePath("clickpath.txt")), &crLf);
    EXPECT_TRUE(crLf);
    EXPECT_EQ(runs, (std::vector<std::string>{"100,100,0", "200,200,0", "200,200,128", "250,260,128", "250,260,0"}));
    EXPECT_TRUE(tool.messages.errors.isEmpty());

    // A right click in the middle of the replay ends it with no button down.
    tool.window.loopBox()->setChecked(true);
    tool.form.Command3_Click();
    ASSERT_TRUE(RealTool::pumpUntil([&] { return tool.form.player().pressSent(); }, 5000));
    user.click(3);
    ASSERT_TRUE(RealTool::pumpUntil([&] { return !tool.playing(); }, 2000));
    EXPECT_EQ(user.buttonsDown(), 0u);
    EXPECT_TRUE(tool.commandsEnabled());
}

TEST(X11Test, ClicksFasterThanTheWatcherReadsAreAllSeen)
{
    QTemporaryDir dir;
    XUser user;
    FakeControls controls;
    FakeMessages messages;
    FakeFileDialog dialog;
    platform::RealDesktop desktop(messages);
    app::Form1 form(controls, desktop.services(), dialog, core::AppPaths(dir.path(), "clickpath"));
    form.Form_Load();
    // 30 clicks make 60 items, six times what one notification reads.
    for (int i = 0; i < 30; ++i)
        user.click(1);
    const auto shown = [&] { return controls.shown[Label::ClickShown].count("Click!"); };
    EXPECT_TRUE(RealTool::pumpUntil([&] { return shown() == 30; }, 5000)) << shown();
    EXPECT_EQ(controls.text(Label::ClickShown), "");
}

TEST(X11Test, ADisplayWithoutXTestIsRefusedByNameAndXErrorsDoNotEndTheProcess)
{
    if (qEnvironmentVariableIsSet("CLICKPATH_DISPLAY_WITHOUT_XTEST")) {
        try {
            platform::x11::X11Pointer pointer;
            FAIL() << "started without XTEST";
        } catch (const ToolError& error) {
            EXPECT_NE(std::string(error.what()).find("XTEST"), std::string::npos) << error.what();
        }
        return;
    }
    auto display = platform::x11::openDisplay();
    XTestFakeButtonEvent(display.get(), 0, True, 0); // there is no button 0
    EXPECT_THROW(platform::x11::syncAndCheck(display.get(), "Left press"), ToolError);
    EXPECT_NO_THROW(platform::x11::syncAndCheck(display.get(), "Nothing")); // the trap is reset
}

// `count` held lines from x = 400 on, moving by `step`, then a release.
std::string held(int count, int step)
{
    std::string bytes;
    for (int i = 0; i < count; ++i)
        bytes += std::to_string(400 + i * step) + ",400,128\r\n";
    return bytes + "800,400,0\r\n";
}

const struct PassState {
    const char* name;
    std::string recording;
    const char* boxes; // Sleep, Click, VM, HM, 1st.
    bool inWait;       // else a press is held
    bool ticking;      // the playback tick runs: not the loop sleep
} kStates[] = {
    {"press", held(60, 0), "0 0 0 0 0", false, true},
    {"drag", held(300, 1), "0 0 0 0 0", false, true},
    {"first_pass_wait", "500,500,128\r\n500,500,0\r\n600,600,0\r\n", "0 0 0 0 100", true, true},
    {"click_wait", "500,500,128\r\n500,500,0\r\n600,600,0\r\n", "0 30000 0 0 0", true, true},
    {"loop_sleep", "500,500,128\r\n510,510,128\r\n", "30000 0 0 0 0", true, false},
};

class NoStuckButtonTest : public ::testing::TestWithParam<std::tuple<int, bool>> {};

TEST_P(NoStuckButtonTest, StoppingOrClosingLeavesNoButtonDownAndTheRecordingIntact)
{
    const PassState& state = kStates[std::get<0>(GetParam())];
    const bool close = std::get<1>(GetParam());
    QTemporaryDir dir;
    XUser user;
    RealTool tool(dir.path(), state.boxes);
    writeFile(dir.filePath("clickpath.txt"), state.recording);
    tool.window.show();
    // A wait runs inside the tool's event handling: act from a timer, as the
    // user's click or the window manager's close would arrive.
    bool reached = false;
    bool acted = false;
    QTimer::singleShot(300, &tool.window, [&] {
        const auto& player = tool.form.player();
        reached = (state.inWait ? player.stepRunning() : player.pressSent())
            && state.ticking == tool.window.tick(core::Tick::Playback).isActive();
        if (close)
            tool.window.close();
        else
            user.click(3);
        acted = true;
    });
    tool.form.Command3_Click();
    RealTool::pumpUntil([&] { return acted && !tool.playing(); }, 5000);
    RealTool::runFor(100);
    EXPECT_TRUE(reached);
    EXPECT_FALSE(tool.playing());
    EXPECT_EQ(user.buttonsDown(), 0u);
    EXPECT_EQ(readFile(dir.filePath("clickpath.txt")), state.recording);
    EXPECT_TRUE(tool.messages.errors.isEmpty()) << tool.messages.errors.join("; ").toStdString();
}

INSTANTIATE_TEST_SUITE_P(EveryState, NoStuckButtonTest,
    ::testing::Combine(::testing::Range(0, 5), ::testing::Values(false, true)), [](const auto& info) {
        return std::string(kStates[std::get<0>(info.param)].name) + (std::get<1>(info.param) ? "_close" : "_stop");
    });

TEST(CrashSafetyTest, AKillDuringRecordingKeepsEveryLineWhole)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QFile::copy(CLICKPATH_EXECUTABLE, dir.filePath("clickpath")));
    XUser user(false);
    QProcess process;
    process.start(dir.filePath("clickpath"), {});
    std::optional<std::pair<int, int>> origin;
    ASSERT_TRUE(RealTool::pumpUntil([&] { return (origin = user.windowOrigin("clickpath")).has_value(); }, 10000));
    user.moveTo(origin->first + 30, origin->second + 15); // "Rec"
    user.click(1);
    const QString recording = dir.filePath("clickpath.txt");
    ASSERT_TRUE(RealTool::pumpUntil([&] { return readFile(recording).size() > 300; }, 5000));
    for (int i = 0; i < 20; ++i) {
        user.moveTo(400 + i * 7, 300 + i * 3);
        RealTool::runFor(7); // the kill lands at any point of a tick
    }
    ::kill(static_cast<pid_t>(process.processId()), SIGKILL);
    process.waitForFinished(5000);

    const std::string bytes = readFile(recording);
    core::RecordingReader reader(recording);
    std::size_t records = 0;
    try {
        for (;; ++records)
            reader.next();
    } catch (const EndOfFileError&) {
    }
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
    EXPECT_EQ(records, static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n')));
}

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
