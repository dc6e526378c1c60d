// The Wayland layer's logic: the choice of the desktop, the evdev events and
// devices on fake ones, the layout's axes and the compositor's uptake.
#include "fakes/FakeDesktop.h"
#include "fakes/FakeInputDevices.h"
#include "platform/DesktopChoice.h"
#include "platform/wayland/EvdevButtonSource.h"
#include "platform/wayland/VirtualPointer.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace clickpath;
using namespace clickpath::platform;
using namespace clickpath::platform::wayland;
using fakes::FakeInputDevices;

namespace {

TEST(DesktopChoiceTest, AWaylandSessionIsWaylandEvenWithXWaylandsDisplayAndItsCompositorIsNamed)
{
    const std::tuple<QStringList, DesktopKind, QString> cases[] = {
        {{"DISPLAY=:0", "XDG_SESSION_TYPE=x11"}, DesktopKind::X11, "the compositor"},
        {{"DISPLAY=:0", "WAYLAND_DISPLAY=wayland-1", "SWAYSOCK=/run/s.sock"}, DesktopKind::Wayland, "sway"},
        {{"DISPLAY=:1", "XDG_SESSION_TYPE=Wayland", "XDG_CURRENT_DESKTOP=KDE"}, DesktopKind::Wayland, "KDE"},
        {{"WAYLAND_DISPLAY=w", "XDG_CURRENT_DESKTOP=ubuntu:GNOME"}, DesktopKind::Wayland, "GNOME"},
        {{"DISPLAY=", "HYPRLAND_INSTANCE_SIGNATURE=a"}, DesktopKind::None, "Hyprland"},
    };
    for (const auto& [variables, kind, compositor] : cases) {
        QProcessEnvironment environment;
        for (const QString& variable : variables)
            environment.insert(variable.section('=', 0, 0), variable.section('=', 1));
        EXPECT_EQ(desktopOf(environment), kind) << variables.join(' ').toStdString();
        EXPECT_EQ(compositorName(environment), compositor);
    }
}

TEST(EvdevEventsTest, OnlyLeftAndRightEdgesAreButtonItemsAndOnlyPointingDevicesAreWatched)
{
    const std::tuple<std::uint16_t, std::uint16_t, int, QString> events[] = {{EV_KEY, BTN_LEFT, 1, "L+"},
        {EV_KEY, BTN_LEFT, 0, "L-"}, {EV_KEY, BTN_RIGHT, 1, "R+"}, {EV_KEY, BTN_RIGHT, 0, "R-"},
        {EV_KEY, BTN_RIGHT, 2, ""} /* a repeat */, {EV_KEY, BTN_MIDDLE, 1, ""}, {EV_KEY, BTN_TOUCH, 1, ""},
        {EV_KEY, KEY_A, 1, ""}, {EV_REL, REL_X, 1, ""}, {EV_MSC, MSC_SCAN, BTN_RIGHT, ""}, {EV_SYN, SYN_REPORT, 0, ""}};
    for (const auto& [type, code, value, expected] : events) {
        const auto item = buttonItemOf({{}, type, code, value});
        const QString seen
            = item ? QString(item->button == MouseButton::Left ? 'L' : 'R') + (item->pressed ? '+' : '-') : QString();
        EXPECT_EQ(seen, expected) << type << " " << code << " " << value;
    }
    const std::tuple<std::string, std::string, bool> devices[]
        = {{"mouse", "USB mouse", true}, {"touchpad", "SynPS/2 Touchpad", true}, {"stick", "TPPS/2 TrackPoint", true},
            {"keyboard", "AT kbd", false}, {"none", "Power Button", false}, {"mouse", kVirtualPointerName, false}};
    for (const auto& [kind, name, pointing] : devices)
        EXPECT_EQ(isPointingDevice(FakeInputDevices::device(1, kind, name)), pointing) << kind << " " << name;
}

struct EvdevSourceTest : ::testing::Test {
    EvdevSourceTest()
    {
        for (const auto& [number, kind, name] : {std::tuple{1, "keyboard", "device"}, {2, "mouse", "device"},
                 {3, "touchpad", "device"}, {4, "mouse", kVirtualPointerName}})
            devices.plug(FakeInputDevices::device(number, kind, name));
        devices.changes.clear();
    }
    // Opens and starts delivery, as the watcher does; each notification reads all.
    std::unique_ptr<EvdevButtonSource> start(int capacity = 10)
    {
        auto source = std::make_unique<EvdevButtonSource>(devices.directory());
        source->start(capacity, [this, source = source.get()] {
            ++notifications;
            for (ButtonItem item; source->read({&item, 1}) == 1;)
                seen += QString(item.button == MouseButton::Left ? 'L' : 'R') + (item.pressed ? "+ " : "- ");
        });
        return source;
    }
    void send(int number, int code, int value)
    {
        devices.send("/dev/input/event" + std::to_string(number), code, value);
    }

    FakeInputDevices devices;
    QString seen;
    int notifications = 0;
};

TEST_F(EvdevSourceTest, DeliversThePointingDevicesButtonsInOrderWhileStarted)
{
    const auto source = start();
    EXPECT_EQ(source->watchedNodes(), (std::vector<std::string>{"/dev/input/event2", "/dev/input/event3"}));
    for (int value : {1, 0})
        send(3, BTN_LEFT, value);
    send(3, BTN_RIGHT, 1);
    source->deviceReadable("/dev/input/event3");
    EXPECT_EQ(seen, "L+ L- R+ ");
    EXPECT_EQ(notifications, 1);
    source->stop();
    send(2, BTN_RIGHT, 0);
    source->deviceReadable("/dev/input/event2");
    EXPECT_EQ(seen, "L+ L- R+ ");
}

TEST_F(EvdevSourceTest, ItemsBeyondTheCapacityAreLostAndTakeWaitingBuffersWithoutNotifying)
{
    const auto source = start(2);
    for (int value : {1, 0, 1})
        send(2, BTN_LEFT, value);
    source->takeWaiting();
    EXPECT_EQ(notifications, 0);
    ButtonItem items[4];
    EXPECT_EQ(source->read(items), 2u);
    EXPECT_TRUE(items[0].pressed && !items[1].pressed);
}

TEST_F(EvdevSourceTest, HotPluggedPointingDevicesAreWatchedAndUnpluggedOnesLetGo)
{
    const auto source = start();
    devices.plug(FakeInputDevices::device(5, "stick"));
    devices.plug(FakeInputDevices::device(6, "keyboard"));
    devices.unreadable.insert("/dev/input/event7");
    devices.plug(FakeInputDevices::device(7, "mouse")); // left out, without an error
    devices.unplug("/dev/input/event3");
    source->devicesChanged();
    EXPECT_EQ(source->watchedNodes(), (std::vector<std::string>{"/dev/input/event2", "/dev/input/event5"}));
    send(5, BTN_RIGHT, 1);
    source->deviceReadable("/dev/input/event5");
    EXPECT_EQ(seen, "R+ ");
    devices.present.erase("/dev/input/event2"); // gone before udev says so: let go at the failed read
    source->deviceReadable("/dev/input/event2");
    EXPECT_EQ(source->watchedNodes(), std::vector<std::string>{"/dev/input/event5"});
}

TEST_F(EvdevSourceTest, APointingDeviceThatCannotBeReadAtStartIsNamedWithHowToGetAccess)
{
    devices.unreadable = {"/dev/input/event1"}; // a keyboard is never opened
    EXPECT_EQ(fakes::errorOf<ToolError>([this] { start(); }), "none");
    devices.unreadable.insert("/dev/input/event3");
    const std::string said = fakes::errorOf<ToolError>([this] { start(); });
    EXPECT_EQ(said.rfind("Cannot read the pointing device /dev/input/event3 (device): Permission denied.", 0), 0u);
    EXPECT_NE(said.find("60-clickpath.rules"), std::string::npos) << said;
}

TEST(LayoutMappingTest, EachLayoutPixelHasItsOwnAxisValueAndFarPositionsStopAtTheEdge)
{
    const LayoutRect layout{-1280, 0, 2560, 1024}; // a second output left of the first
    const std::tuple<std::int32_t, std::int32_t, std::int32_t, std::int32_t> cases[] = {{640, 512, 640, 512},
        {-1280, 0, -1280, 0}, {1279, 1023, 1279, 1023}, {1280, 1024, 1279, 1023}, {-5000, -3, -1280, 0}};
    for (const auto& [x, y, axisX, axisY] : cases) {
        EXPECT_EQ(axisValue(horizontalAxisOf(layout), x), axisX) << x;
        EXPECT_EQ(axisValue(verticalAxisOf(layout), y), axisY) << y;
    }
    EXPECT_EQ(horizontalAxisOf({0, 0, 0, 0}).maximum, 0) << "no output yet still gives a valid axis";
}

TEST(CompositorUptakeTest, TheDeviceIsTakenWhenAnotherProcessHoldsItsNodeOpen)
{
    QTemporaryDir proc;
    const auto holds = [&](const QString& pid, const QString& target) {
        QDir(proc.path()).mkpath(pid + "/fd");
        ASSERT_TRUE(QFile::link(target, proc.filePath(pid + "/fd/7")));
    };
    holds("100", "/dev/input/event9"); // the tool itself
    holds("200", "/dev/input/event8");
    holds("self", "/dev/input/event9"); // not a process's folder
    QDir(proc.path()).mkpath("300");    // another user's process: no fd listing
    const std::string root = proc.path().toStdString();
    EXPECT_FALSE(openedElsewhere(root, "/dev/input/event9", 100));
    EXPECT_TRUE(openedElsewhere(root, "/dev/input/event8", 100));
    holds("201", "/dev/input/event9");
    EXPECT_TRUE(openedElsewhere(root, "/dev/input/event9", 100));
}

} // namespace
