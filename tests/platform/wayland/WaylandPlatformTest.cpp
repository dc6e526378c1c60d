// The Wayland layer's logic: the choice of the desktop, the evdev events and
// devices on fake ones, the layout's axes and the compositor's uptake.
#include "fakes/FakeDesktop.h"
#include "fakes/FakeInputDevices.h"
#include "platform/DesktopChoice.h"
#include "platform/wayland/EvdevButtonSource.h"
#include "platform/wayland/VirtualPointer.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace clickpath;
using namespace clickpath::platform;
using namespace clickpath::platform::wayland;
using fakes::FakeInputDevices;

namespace {

QProcessEnvironment environmentOf(std::initializer_list<std::pair<QString, QString>> variables)
{
    QProcessEnvironment environment;
    for (const auto& [name, value] : variables)
        environment.insert(name, value);
    return environment;
}

TEST(DesktopChoiceTest, AWaylandSessionIsWaylandEvenWithXWaylandsDisplay)
{
    const std::pair<QProcessEnvironment, DesktopKind> cases[] = {
        {environmentOf({{"DISPLAY", ":0"}}), DesktopKind::X11},
        {environmentOf({{"DISPLAY", ":0"}, {"XDG_SESSION_TYPE", "x11"}}), DesktopKind::X11},
        {environmentOf({{"DISPLAY", ":0"}, {"WAYLAND_DISPLAY", "wayland-1"}}), DesktopKind::Wayland},
        {environmentOf({{"DISPLAY", ":1"}, {"XDG_SESSION_TYPE", "Wayland"}}), DesktopKind::Wayland},
        {environmentOf({{"WAYLAND_DISPLAY", "wayland-0"}}), DesktopKind::Wayland},
        {environmentOf({{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}}), DesktopKind::None},
    };
    for (const auto& [environment, kind] : cases)
        EXPECT_EQ(desktopOf(environment), kind) << environment.toStringList().join(' ').toStdString();
}

TEST(DesktopChoiceTest, TheCompositorIsNamedByItsSocketOrItsDesktopName)
{
    const std::pair<QProcessEnvironment, QString> cases[] = {
        {environmentOf({{"SWAYSOCK", "/run/user/1000/sway-ipc.sock"}, {"XDG_CURRENT_DESKTOP", "sway"}}), "sway"},
        {environmentOf({{"HYPRLAND_INSTANCE_SIGNATURE", "abc"}}), "Hyprland"},
        {environmentOf({{"XDG_CURRENT_DESKTOP", "ubuntu:GNOME"}}), "GNOME"},
        {environmentOf({{"XDG_CURRENT_DESKTOP", "KDE"}}), "KDE"},
        {environmentOf({}), "the compositor"},
    };
    for (const auto& [environment, name] : cases)
        EXPECT_EQ(compositorName(environment), name);
}

input_event eventOf(int type, int code, int value)
{
    input_event event{};
    event.type = static_cast<std::uint16_t>(type);
    event.code = static_cast<std::uint16_t>(code);
    event.value = value;
    return event;
}

TEST(EvdevEventsTest, OnlyLeftAndRightPressesAndReleasesAreButtonItems)
{
    using Item = std::optional<std::pair<MouseButton, bool>>;
    const std::tuple<int, int, int, Item> cases[] = {
        {EV_KEY, BTN_LEFT, 1, std::pair{MouseButton::Left, true}},
        {EV_KEY, BTN_LEFT, 0, std::pair{MouseButton::Left, false}},
        {EV_KEY, BTN_RIGHT, 1, std::pair{MouseButton::Right, true}},
        {EV_KEY, BTN_RIGHT, 0, std::pair{MouseButton::Right, false}},
        {EV_KEY, BTN_RIGHT, 2, std::nullopt}, // a repeat
        {EV_KEY, BTN_MIDDLE, 1, std::nullopt},
        {EV_KEY, BTN_TOUCH, 1, std::nullopt}, // a touchpad's finger
        {EV_KEY, KEY_A, 1, std::nullopt},
        {EV_REL, REL_X, 1, std::nullopt},
        {EV_MSC, MSC_SCAN, BTN_RIGHT, std::nullopt},
        {EV_SYN, SYN_REPORT, 0, std::nullopt},
    };
    for (const auto& [type, code, value, expected] : cases) {
        const auto item = buttonItemOf(eventOf(type, code, value));
        const Item seen = item ? Item(std::pair{item->button, item->pressed}) : std::nullopt;
        EXPECT_EQ(seen, expected) << type << " " << code << " " << value;
    }
}

TEST(EvdevEventsTest, PointingDevicesAreMiceTouchpadsAndTrackpointsButNotKeyboardsOrTheToolsOwnPointer)
{
    const std::tuple<std::string, std::string, bool> cases[]
        = {{"mouse", "USB mouse", true}, {"touchpad", "SynPS/2 Touchpad", true}, {"stick", "TPPS/2 TrackPoint", true},
            {"keyboard", "AT keyboard", false}, {"none", "Power Button", false}, {"mouse", kVirtualPointerName, false}};
    for (const auto& [kind, name, pointing] : cases)
        EXPECT_EQ(isPointingDevice(FakeInputDevices::device(1, kind, name)), pointing) << kind << " " << name;
}

struct EvdevSourceTest : ::testing::Test {
    EvdevSourceTest()
    {
        devices.plug(FakeInputDevices::device(1, "keyboard"));
        devices.plug(FakeInputDevices::device(2, "mouse"));
        devices.plug(FakeInputDevices::device(3, "touchpad"));
        devices.plug(FakeInputDevices::device(4, "mouse", kVirtualPointerName));
        devices.changes.clear();
    }
    std::unique_ptr<EvdevButtonSource> open()
    {
        return std::make_unique<EvdevButtonSource>(std::make_unique<fakes::FakeDeviceDirectory>(devices));
    }
    // Starts delivery, as the watcher does; each notification reads everything.
    void start(EvdevButtonSource& source, int capacity = 10)
    {
        source.start(capacity, [this, &source] {
            ++notifications;
            ButtonItem items[4];
            for (std::size_t n; (n = source.read(items)) > 0;)
                for (std::size_t i = 0; i < n; ++i)
                    seen += QStringLiteral("%1%2 ")
                                .arg(items[i].button == MouseButton::Left ? 'L' : 'R')
                                .arg(items[i].pressed ? '+' : '-');
        });
    }

    FakeInputDevices devices;
    QString seen;
    int notifications = 0;
};

TEST_F(EvdevSourceTest, WatchesThePointingDevicesAndDeliversTheirButtonsInOrder)
{
    const auto source = open();
    EXPECT_EQ(source->watchedNodes(), (std::vector<std::string>{"/dev/input/event2", "/dev/input/event3"}));
    devices.send("/dev/input/event2", BTN_RIGHT, 1);
    source->deviceReadable("/dev/input/event2");
    EXPECT_EQ(seen, "") << "nothing is delivered before start";
    start(*source);
    devices.send("/dev/input/event3", BTN_LEFT, 1);
    devices.send("/dev/input/event3", BTN_LEFT, 0);
    devices.send("/dev/input/event3", BTN_RIGHT, 1);
    source->deviceReadable("/dev/input/event3");
    EXPECT_EQ(seen, "L+ L- R+ ");
    EXPECT_EQ(notifications, 1);
    source->stop();
    devices.send("/dev/input/event2", BTN_RIGHT, 0);
    source->deviceReadable("/dev/input/event2");
    EXPECT_EQ(seen, "L+ L- R+ ");
}

TEST_F(EvdevSourceTest, ItemsBeyondTheCapacityAreLostAndTakeWaitingBuffersWithoutNotifying)
{
    const auto source = open();
    start(*source, 2);
    for (int value : {1, 0, 1})
        devices.send("/dev/input/event2", BTN_LEFT, value);
    source->takeWaiting();
    EXPECT_EQ(notifications, 0);
    ButtonItem items[4];
    EXPECT_EQ(source->read(items), 2u);
    EXPECT_TRUE(items[0].pressed && !items[1].pressed);
}

TEST_F(EvdevSourceTest, HotPluggedPointingDevicesAreWatchedAndUnpluggedOnesLetGo)
{
    const auto source = open();
    start(*source);
    devices.plug(FakeInputDevices::device(5, "stick"));
    devices.plug(FakeInputDevices::device(6, "keyboard"));
    devices.unreadable.insert("/dev/input/event7");
    devices.plug(FakeInputDevices::device(7, "mouse")); // left out, without an error
    devices.unplug("/dev/input/event3");
    source->devicesChanged();
    EXPECT_EQ(source->watchedNodes(), (std::vector<std::string>{"/dev/input/event2", "/dev/input/event5"}));
    devices.send("/dev/input/event5", BTN_RIGHT, 1);
    source->deviceReadable("/dev/input/event5");
    EXPECT_EQ(seen, "R+ ");
    // A device that goes before udev says so is let go at its failed read.
    devices.present.erase("/dev/input/event2");
    source->deviceReadable("/dev/input/event2");
    EXPECT_EQ(source->watchedNodes(), std::vector<std::string>{"/dev/input/event5"});
}

TEST_F(EvdevSourceTest, APointingDeviceThatCannotBeReadAtStartIsNamedWithHowToGetAccess)
{
    devices.unreadable.insert("/dev/input/event3");
    const std::string said = fakes::errorOf<ToolError>([this] { open(); });
    EXPECT_NE(
        said.find("Cannot read the pointing device /dev/input/event3 (device): Permission denied"), std::string::npos)
        << said;
    EXPECT_NE(said.find("60-clickpath.rules"), std::string::npos) << said;
    devices.unreadable = {"/dev/input/event1"}; // a keyboard is never opened
    EXPECT_EQ(fakes::errorOf<ToolError>([this] { open(); }), "none");
}

TEST(LayoutMappingTest, EachLayoutPixelHasItsOwnAxisValueAndFarPositionsStopAtTheEdge)
{
    const LayoutRect layout{-1280, 0, 2560, 1024}; // a second output left of the first
    EXPECT_EQ(horizontalAxisOf(layout).minimum, -1280);
    EXPECT_EQ(horizontalAxisOf(layout).maximum, 1279);
    EXPECT_EQ(verticalAxisOf(layout).maximum, 1023);
    const std::tuple<std::int32_t, std::int32_t, std::int32_t, std::int32_t> cases[]
        = {{640, 512, 640, 512}, {-1280, 0, -1280, 0}, {1279, 1023, 1279, 1023}, {1280, 1024, 1279, 1023},
            {-5000, -3, -1280, 0}, {0, 2000000000, 0, 1023}};
    for (const auto& [x, y, axisX, axisY] : cases) {
        EXPECT_EQ(axisValue(horizontalAxisOf(layout), x), axisX) << x;
        EXPECT_EQ(axisValue(verticalAxisOf(layout), y), axisY) << y;
    }
    EXPECT_EQ(horizontalAxisOf({0, 0, 0, 0}).maximum, 0) << "no output yet still gives a valid axis";
}

TEST(CompositorUptakeTest, TheDeviceIsTakenWhenAnotherProcessHoldsItsNodeOpen)
{
    QTemporaryDir proc;
    const auto holds = [&](const QString& pid, const QString& fd, const QString& target) {
        QDir(proc.path()).mkpath(pid + "/fd");
        ASSERT_TRUE(QFile::link(target, proc.filePath(pid + "/fd/" + fd)));
    };
    holds("100", "3", "/dev/input/event9"); // the tool itself
    holds("200", "7", "/dev/input/event8");
    holds("self", "7", "/dev/input/event9"); // not a process's folder
    QDir(proc.path()).mkpath("300");         // another user's process: no fd listing
    const std::string root = proc.path().toStdString();
    EXPECT_FALSE(openedElsewhere(root, "/dev/input/event9", 100));
    EXPECT_TRUE(openedElsewhere(root, "/dev/input/event8", 100));
    holds("201", "12", "/dev/input/event9");
    EXPECT_TRUE(openedElsewhere(root, "/dev/input/event9", 100));
    EXPECT_FALSE(openedElsewhere(root + "/missing", "/dev/input/event9", 100));
}

} // namespace
