// The factory's choice of the session's desktop, from the environment alone.
#include "platform/Desktop.h"

#include <gtest/gtest.h>

using namespace clickpath::platform;

namespace {

TEST(DesktopChoiceTest, AWaylandSessionIsWaylandEvenWithXWaylandsDisplayAndItsCompositorIsNamed)
{
    const std::tuple<QStringList, QString> cases[] = {
        {{"DISPLAY=:0", "XDG_SESSION_TYPE=x11"}, "xcb the compositor"},
        {{"DISPLAY=:1", "XDG_SESSION_TYPE=Wayland", "XDG_CURRENT_DESKTOP=KDE"}, "wayland KWin"},
        {{"WAYLAND_DISPLAY=w", "XDG_CURRENT_DESKTOP=ubuntu:GNOME"}, "wayland GNOME"},
        {{"DISPLAY=", "HYPRLAND_INSTANCE_SIGNATURE=a"}, "none"},
    };
    for (const auto& [variables, chosen] : cases) {
        QProcessEnvironment environment;
        for (const QString& variable : variables)
            environment.insert(variable.section('=', 0, 0), variable.section('=', 1));
        const auto choice = desktopOf(environment);
        EXPECT_EQ(choice ? QString(choice->qtPlatform) + ' ' + choice->compositor : "none", chosen)
            << variables.join(' ').toStdString();
    }
}

} // namespace
