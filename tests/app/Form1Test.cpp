// The window's handlers together, on the fake desktop.
#include "app/DesktopSession.h"
#include "fakes/FakeDesktop.h"

#include <gtest/gtest.h>

using namespace clickpath;
using namespace clickpath::fakes;

namespace {

TEST(Form1Test, RecAfterAStopBeforeTheNextPlaybackTickRecordsOnAndKeepsEveryLine)
{
    Harness h;
    h.writeRecording("1,1,0\r\n2,2,0\r\n3,3,0\r\n");
    h.form.Command3_Click();
    h.form.Timer2_Timer();
    h.rightClick();
    h.form.Command1_Click();
    h.form.Timer2_Timer(); // the playback tick that was due
    h.form.Timer1_Timer();
    h.form.Timer1_Timer();
    EXPECT_TRUE(h.controls.ticks[Tick::Recording] && !h.controls.commandsEnabled);
    EXPECT_EQ(h.readRecording(), "1,1,0\r\n1,1,0\r\n");
    EXPECT_TRUE(h.desk.messages.errors.isEmpty());
}

TEST(DesktopSessionTest, WaylandSessionsAreWarnedAboutAndX11SessionsAreNot)
{
    const auto warning = [](std::initializer_list<std::pair<const char*, const char*>> variables) {
        QProcessEnvironment environment;
        for (const auto& [name, value] : variables)
            environment.insert(name, value);
        return app::waylandWarning(environment);
    };
    EXPECT_TRUE(warning({}).isEmpty());
    EXPECT_TRUE(warning({{"XDG_SESSION_TYPE", "x11"}, {"DISPLAY", ":0"}}).isEmpty());
    EXPECT_TRUE(warning({{"XDG_SESSION_TYPE", "Wayland"}}).contains("XWayland"));
    EXPECT_TRUE(warning({{"XDG_SESSION_TYPE", "x11"}, {"WAYLAND_DISPLAY", "wayland-0"}}).contains("X11 windows"));
    EXPECT_TRUE(app::noDisplayMessage("build/clickpath").contains("xvfb-run -a build/clickpath"));
}

} // namespace
