// The window on the real X11 layer of a private Xvfb: the watcher under a
// burst of clicks, the X11 layer's own failures, and no close of the window
// that leaves a button down. tests/cli plays, records and stops through the
// same layer.
#include "platform/ToolError.h"
#include "platform/x11/X11Display.h"
#include "platform/x11/X11Harness.h"
#include "platform/x11/X11Pointer.h"

#include <QApplication>
#include <QTimer>

#include <gtest/gtest.h>

#include <X11/extensions/XTest.h>

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
    for (int i = 0; i < 30; ++i) // 60 items, six times what one notification reads
        user.click(1);
    const auto clicks = [&] { return controls.shown[Label::ClickShown].count("Click!"); };
    EXPECT_TRUE(pumpUntil([&] { return clicks() == 30; }, 5000)) << clicks();
    EXPECT_EQ(controls.text(Label::ClickShown), "");
}

TEST(X11Test, ADisplayWithoutXTestIsRefusedByNameAndXErrorsDoNotEndTheProcess)
{
    if (qEnvironmentVariableIsSet("CLICKPATH_DISPLAY_WITHOUT_XTEST")) {
        EXPECT_THROW(platform::x11::X11Pointer(), ToolError);
        const Outcome cli = run(CLICKPATH_CLI, {"record", "/dev/null"});
        EXPECT_EQ(cli.exitCode, 1);
        EXPECT_TRUE(cli.said.contains("XTEST")) << cli.said.toStdString();
        return;
    }
    auto display = platform::x11::openDisplay();
    XTestFakeButtonEvent(display.get(), 0, True, 0); // there is no button 0
    EXPECT_THROW(platform::x11::syncAndCheck(display.get(), "Left press"), ToolError);
    EXPECT_NO_THROW(platform::x11::syncAndCheck(display.get(), "Nothing")); // the trap is reset
    platform::x11::X11Pointer pointer; // positions beyond 16 bits are clamped, not wrapped
    pointer.moveTo(100000, -70000);
    EXPECT_EQ(pointer.position()->x, 1279);
    EXPECT_EQ(pointer.position()->y, 0);
}

// A close arrives inside a wait's event handling as from the window manager.
class CloseTest : public ::testing::TestWithParam<std::pair<const char*, const char*>> {};

TEST_P(CloseTest, ClosingTheWindowInAPressOrAWaitLeavesNoButtonDownAndTheRecordingWhole)
{
    const auto [recording, boxes] = GetParam(); // boxes: Sleep, Click, VM, HM, 1st.
    QTemporaryDir dir;
    XUser user;
    RealTool tool(dir.path(), boxes);
    writeFile(dir.filePath("clickpath.txt"), recording);
    tool.window.show();
    tool.form.Command3_Click();
    EXPECT_TRUE(pumpUntil([&] { return user.buttonsDown() || tool.form.player().stepRunning(); }, 5000));
    QTimer::singleShot(100, &tool.window, [&] { tool.window.close(); });
    EXPECT_TRUE(pumpUntil([&] { return !tool.playing(); }, 5000));
    EXPECT_EQ(user.buttonsDown(), 0u);
    EXPECT_EQ(readFile(dir.filePath("clickpath.txt")), recording);
}

INSTANTIATE_TEST_SUITE_P(EveryState, CloseTest,
    ::testing::Values(std::pair{"1,1,128\r\n2,2,128\r\n3,3,128\r\n", "0 0 0 0 0"}, // a drag, looped
        std::pair{"5,5,128\r\n5,5,0\r\n6,6,0\r\n", "0 0 0 0 100"},                 // the first-pass wait
        std::pair{"5,5,128\r\n5,5,0\r\n6,6,0\r\n", "0 3000 0 0 0"},                // the click wait
        std::pair{"5,5,128\r\n6,6,128\r\n", "3000 0 0 0 0"}));                     // the loop sleep

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
