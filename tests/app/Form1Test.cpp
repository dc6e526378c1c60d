#include "app/DesktopSession.h"
#include "fakes/Fakes.h"
#include "recording/StopRequest.h"

#include <gtest/gtest.h>

using namespace clickpath;
using namespace clickpath::fakes;
using app::LabelId;
using app::TimerId;

namespace {

TEST(AppPathsTest, FilesSitBesideTheExecutableUnderItsBaseName)
{
    const app::AppPaths paths("/opt/tools", "clickpath");
    EXPECT_EQ(paths.workingRecordingPath(), "/opt/tools/clickpath.txt");
    EXPECT_EQ(paths.settingsFilePath(), "/opt/tools/clickpath.ini");
}

TEST(Form1Test, StartUpShowsTheBaseNameAndLeavesEverythingIdle)
{
    Harness h;
    h.state().offsetX = 4;
    h.state().passCount = 9;
    h.state().looping = app::kTrue;
    h.form().Form_Load();
    EXPECT_EQ(h.controls.windowCaption, "clickpath");
    EXPECT_EQ(h.state().offsetX, 0);
    EXPECT_EQ(h.state().passCount, 0);
    EXPECT_EQ(h.state().looping, app::kFalse);
    EXPECT_FALSE(h.controls.timers[TimerId::Timer1]);
    EXPECT_FALSE(h.controls.timers[TimerId::Timer2]);
    EXPECT_TRUE(h.controls.allCommands(true));
}

TEST(Form1Test, PointerCaptionShowsSignedPositionsAndPaintsAtOnce)
{
    Harness h;
    h.form().tool().showPointerCaption(-1200, 35);
    EXPECT_EQ(h.controls.windowCaption, "clickpath X:-1200 Y:35");
    EXPECT_EQ(h.controls.repaints, 1);
}

TEST(Form1Test, StopRequestWhileIdleResetsPassCountAndKeepsButtonsEnabled)
{
    Harness h;
    h.form().Form_Load();
    h.state().passCount = 3;
    recording::stopRequest(h.form().tool());
    recording::stopRequest(h.form().tool()); // the release of the same click
    EXPECT_EQ(h.state().passCount, 0);
    EXPECT_EQ(h.state().stopFlag, 1);
    EXPECT_EQ(h.state().looping, app::kFalse);
    EXPECT_TRUE(h.controls.allCommands(true));
    EXPECT_FALSE(h.controls.timers[TimerId::Timer1]);
    EXPECT_TRUE(h.messages.errors.isEmpty());
}

} // namespace

namespace {

TEST(DesktopSessionTest, WaylandSessionsAreWarnedAboutAndX11SessionsAreNot)
{
    QProcessEnvironment x11;
    x11.insert("XDG_SESSION_TYPE", "x11");
    x11.insert("DISPLAY", ":0");
    EXPECT_TRUE(app::waylandWarning(x11).isEmpty());
    EXPECT_TRUE(app::waylandWarning(QProcessEnvironment()).isEmpty());

    QProcessEnvironment byType;
    byType.insert("XDG_SESSION_TYPE", "wayland");
    EXPECT_TRUE(app::waylandWarning(byType).contains("XWayland"));
    QProcessEnvironment bySocket = x11;
    bySocket.insert("WAYLAND_DISPLAY", "wayland-0");
    EXPECT_TRUE(app::waylandWarning(bySocket).contains("X11 windows"));
}

TEST(DesktopSessionTest, WithoutADisplayTheMessageShowsHowToStartOne)
{
    EXPECT_TRUE(app::noDisplayMessage("build/clickpath").contains("xvfb-run -a build/clickpath"));
}

} // namespace
