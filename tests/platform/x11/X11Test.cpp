// The window on the real X11 layer of a private Xvfb: the watcher under a
// burst of clicks, and no stop, close or crash that leaves a button down or
// loses a line. tests/cli plays and records through the same layer.
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
    // Positions beyond the 16 bits of the request are clamped, not wrapped.
    platform::x11::X11Pointer pointer;
    pointer.moveTo(100000, -70000);
    EXPECT_EQ(pointer.position()->x, 1279);
    EXPECT_EQ(pointer.position()->y, 0);
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
