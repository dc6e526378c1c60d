// The Wayland layer's logic: the evdev events and devices on fake ones, the desktop's settings, the uptake of the
// virtual pointer, the layout's axes and Hyprland's answers on a fake socket. The guest's cases
// (tests/guest/cases.sh) test the rest.
#include "fakes/FakeDesktop.h"
#include "fakes/FakeInputDevices.h"
#include "platform/wayland/ButtonEdges.h"
#include "platform/wayland/DesktopInputSettings.h"
#include "platform/wayland/EvdevButtonSource.h"
#include "platform/wayland/HyprlandCursor.h"
#include "platform/wayland/OutputLayout.h"
#include "platform/wayland/Uptake.h"
#include "platform/wayland/VirtualPointer.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <atomic>
#include <cstring>
#include <gtest/gtest.h>
#include <mutex>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

using namespace clickpath;
using namespace clickpath::platform;
using namespace clickpath::platform::wayland;
using fakes::errorOf;
using fakes::FakeInputDevices;

namespace {

constexpr auto node = &FakeInputDevices::node;

// The desktop's settings of each node, which the test changes.
struct FakeSettings final : DesktopInputSettings {
    DeviceSettings of(const InputDeviceInfo& device) override { return byNode[device.node]; }
    void changed() { tellChanged(); }
    std::map<std::string, DeviceSettings> byNode;
};

// Present at start: a keyboard, which may not be opened, two pointing devices and the tool's own pointer;
// later a trackpoint, a keyboard and a mouse that cannot be read come, and the touchpad and the mouse go. Each
// reader follows the desktop's settings of its device.
TEST(EvdevSourceTest, ThePointingDevicesLeftAndRightEdgesArriveInOrderUpToTheCapacityFromThoseThatComeAndGo)
{
    auto owned = std::make_unique<FakeInputDevices>();
    FakeInputDevices& devices = *owned;
    for (const auto& [number, kind, name] : {std::tuple{1, "keyboard", "device"}, {2, "mouse", "device"},
             {3, "touchpad", "device"}, {4, "mouse", kVirtualPointerName}})
        devices.plug(number, kind, name);
    devices.unreadable = {node(1), node(7)};
    FakeSettings settings;
    settings.byNode[node(3)] = {false, true, ClickMethod::Clickfinger};
    EvdevButtonSource source(std::move(owned), {}, &settings);
    EXPECT_EQ(devices.applied[node(3)], settings.byNode[node(3)]);
    QString seen;
    int notifications = 0;
    source.start(3, [&] {
        ++notifications;
        for (ButtonItem item; source.read({&item, 1}) == 1;)
            seen += QString(item.button == MouseButton::Primary ? 'L' : 'R') + (item.pressed ? "+ " : "- ");
    });
    EXPECT_EQ(source.watchedNodes(), (std::vector{node(2), node(3)}));
    // Neither the middle button nor a key's repeat is a mouse button's edge.
    for (const auto& [code, value] :
        {std::pair{BTN_LEFT, 1}, {BTN_MIDDLE, 1}, {BTN_LEFT, 0}, {BTN_RIGHT, 2}, {BTN_RIGHT, 1}, {BTN_RIGHT, 0}})
        devices.send(3, code, value);
    source.takeWaiting();
    EXPECT_EQ(notifications, 0) << "taken in without a notification";
    source.deviceReadable(node(2)); // the mouse sent nothing: the touchpad's were taken in already
    EXPECT_EQ(seen, "L+ L- R+ ") << "the fourth is beyond the capacity";
    EXPECT_EQ(notifications, 1);

    for (const auto& [number, kind] : {std::pair{5, "stick"}, {6, "keyboard"}, {7, "mouse"}})
        devices.plug(number, kind);
    devices.unplug(3);
    source.devicesChanged();
    EXPECT_EQ(source.watchedNodes(), (std::vector{node(2), node(5)}));
    { // another listener of the settings, gone before they change
        EvdevButtonSource another(std::make_unique<FakeInputDevices>(), {}, &settings);
    }
    (settings.byNode[node(5)].leftHanded = true, settings.changed());
    EXPECT_TRUE(devices.applied[node(5)].leftHanded);
    devices.send(5, BTN_RIGHT, 1);
    source.deviceReadable(node(5));
    EXPECT_EQ(seen, "L+ L- R+ R+ ");
    devices.plugged.erase(node(2)); // gone before udev says so: let go at the failed read
    source.deviceReadable(node(2));
    EXPECT_EQ(source.watchedNodes(), std::vector{node(5)});
    source.stop();
    devices.send(5, BTN_RIGHT, 0);
    source.deviceReadable(node(5));
    EXPECT_EQ(seen, "L+ L- R+ R+ ");
}

TEST(EvdevSourceTest, ANodeThatCannotBeReadIsLeftOutAndNamedOnceAndOnlyNoReadableOneRefusesTheStart)
{
    auto owned = std::make_unique<FakeInputDevices>();
    FakeInputDevices& devices = *owned;
    for (const int number : {2, 3, 4})
        devices.plug(number, "mouse");
    devices.unreadable = {node(2), node(4), node(5)};
    QStringList said;
    std::unique_ptr<EvdevButtonSource> source;
    EXPECT_NO_THROW(source = std::make_unique<EvdevButtonSource>(
                        std::move(owned), [&](const std::string& text) { said << QString::fromStdString(text); }));
    EXPECT_EQ(source ? source->watchedNodes() : std::vector<std::string>(), std::vector{node(3)});
    (devices.unplug(4), devices.plug(4, "mouse"), devices.plug(5, "mouse"), source->devicesChanged());
    EXPECT_EQ(said.join('|').replace(QRegularExpression(" \\(device\\)[^|]*"), ""),
        "Leaves out the pointing device /dev/input/event2|Leaves out the pointing device /dev/input/event4|"
        "Leaves out the pointing device /dev/input/event5");
    auto none = std::make_unique<FakeInputDevices>();
    (none->plug(2, "mouse"), none->unreadable = {node(2)});
    const std::string refusal = errorOf<ToolError>([&] { EvdevButtonSource(std::move(none), [](auto&) {}); });
    EXPECT_NE(refusal.find("Cannot read the pointing device /dev/input/event2"), std::string::npos) << refusal;
}

// A node that queues the events that the test writes as words, "L1" a left press, "R0" a right release, "X" a motion,
// "|" a report and "!" the kernel's word that it dropped events; its buttons' state is the test's too.
struct FakeNode final : EvdevNode {
    explicit FakeNode(const QString& events, const QString& down = "")
    {
        for (const QString& word : events.split(' ', Qt::SkipEmptyParts)) {
            const std::uint16_t code = word[0] == 'L' ? BTN_LEFT : word[0] == 'R' ? BTN_RIGHT : REL_X;
            queued.push_back(word == "|" ? input_event{{}, EV_SYN, SYN_REPORT, 0}
                    : word == "!"
                    ? input_event{{}, EV_SYN, SYN_DROPPED, 0}
                    : input_event{{}, std::uint16_t(word == "X" ? EV_REL : EV_KEY), code, word.mid(1).toInt()});
        }
        (keysNow[BTN_LEFT] = down.contains('L'), keysNow[BTN_RIGHT] = down.contains('R'));
    }
    int descriptor() const override { return -1; }
    std::optional<std::size_t> read(std::span<input_event> out) override
    {
        const std::size_t count = std::min(out.size(), queued.size());
        std::copy_n(queued.begin(), count, out.begin());
        queued.erase(queued.begin(), queued.begin() + static_cast<std::ptrdiff_t>(count));
        return count;
    }
    std::optional<Keys> keys() override { return keysNow; }
    std::vector<input_event> queued;
    Keys keysNow;
};

TEST(ButtonEdgesTest, EachEdgeArrivesOnceAndAfterALostStretchTheButtonsStateTellsWhatItCan)
{
    // What the kernel queued, the buttons held when the report after a drop is read, and the edges reported.
    const std::tuple<QString, QString, QString> cases[] = {
        {"L1 | X | L0 | X L1 L2 |", "", "L+ L- L+"},  // motion and a repeat are no edges
        {"L1 | ! R1 L0 | L0 |", "R", "L+ L- R+"},     // the lost release and press, told by the state
        {"R1 | X ! R0 R1 R0 | R1 |", "", "R+ R- R+"}, // the stretch's last word is the state's
        {"! L1 L0 |", "", ""},                        // a click within the lost stretch cannot be told
        {"! | L1 | L0 |", "L", "L+ L-"},              // a press after the report, told by the state: once
        {"L1 ! |", "L", "L+"},                        // the state agrees: nothing more
    };
    for (const auto& [events, down, edges] : cases) {
        auto node = std::make_unique<FakeNode>("");
        FakeNode& fake = *node;
        ButtonEdges reader(std::move(node));
        fake = FakeNode(QString(events).remove("left-handed"), down);
        DeviceSettings settings;
        settings.leftHanded = events.startsWith("left-handed");
        reader.apply(settings);
        QStringList seen;
        const auto read = reader.readEvents();
        for (const input_event& edge : read.value())
            seen << QString(edge.code == BTN_LEFT ? 'L' : 'R') + (edge.value ? '+' : '-');
        EXPECT_EQ(seen.join(' '), edges) << events;
    }
}

TEST(UptakeTest, AnOpenOfTheVirtualPointerHeldAtTwoLooksInARowIsTheCompositorsAMomentaryOneIsNot)
{
    // Opens (o) and closes (c) seen between looks (|), and what the looks say.
    const std::pair<const char*, const char*> cases[] = {{"o c | o c | |", "no no no"}, {"o | |", "no yes"},
        {"c o | |", "no yes"}, {"o o c | c | o |", "no no no"}, {"| o | c | o |", "no no no no"}};
    for (const auto& [seen, says] : cases) {
        UptakeCount count;
        QStringList looks;
        for (const char what : std::string_view(seen))
            what == 'o'       ? count.opened()
                : what == 'c' ? count.closed()
                : what == '|' ? void(looks << (count.look() ? "yes" : "no"))
                              : void();
        EXPECT_EQ(looks.join(' '), says) << seen;
    }
}

// The watch counts the opens of its own node only, though it watches the whole folder.
TEST(UptakeTest, OnlyAnOpenOfTheNodeItselfHeldAtTwoLooksIsTaken)
{
    QTemporaryDir dir;
    for (const char* name : {"event8", "event9"})
        fakes::writeFile(dir.filePath(name), "");
    UptakeWatch watch(dir.filePath("event9").toStdString());
    QFile beside(dir.filePath("event8")), node(dir.filePath("event9"));
    ASSERT_TRUE(beside.open(QIODevice::ReadOnly));
    const bool besideLooks[] = {watch.taken(), watch.taken()};
    ASSERT_TRUE(node.open(QIODevice::ReadOnly));
    const bool nodeLooks[] = {watch.taken(), watch.taken()};
    EXPECT_EQ(std::vector<bool>({besideLooks[0], besideLooks[1], nodeLooks[0], nodeLooks[1]}),
        std::vector<bool>({false, false, false, true}));
}

// A /proc of one process (folder name) with one open file: whether it is another process's hold of event9.
TEST(UptakeTest, ProcShowsTheNodeHeldByAnotherProcessNotByThisOneNorByAFolderThatIsNoProcess)
{
    const std::tuple<const char*, const char*, bool> cases[] = {{"10", "/dev/input/event9", true},
        {"10", "/dev/input/event8", false}, {"7", "/dev/input/event9", false}, {"x10", "/dev/input/event9", false}};
    for (const auto& [process, open, held] : cases) {
        QTemporaryDir proc;
        QDir(proc.path()).mkpath(QString(process) + "/fd");
        QFile::link(open, proc.filePath(QString(process) + "/fd/3"));
        EXPECT_EQ(openedElsewhere(proc.path().toStdString(), "/dev/input/event9", 7), held) << process << open;
    }
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
    // The layout spans every output: a 1920 x 1080 at scale 1.5 is 1280 x 720 logical pixels, right of the first.
    const LayoutRect spanned = boundsOf({{0, 0, 1280, 1024}, {1280, 100, 1280, 720}, {-640, -480, 640, 480}});
    EXPECT_EQ(std::tuple(spanned.x, spanned.y, spanned.width, spanned.height), std::tuple(-640, -480, 3200, 1504));
}

// A Unix socket listening at `path`, for a fake compositor.
int listeningAt(const QString& path)
{
    const int listener = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{AF_UNIX, {}};
    path.toStdString().copy(address.sun_path, sizeof address.sun_path - 1);
    if (bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) | listen(listener, 4))
        throw std::runtime_error("no socket at " + path.toStdString());
    return listener;
}

// A fake sway at `socketPath`, in its IPC's framing: each get_inputs is answered with `inputs` as it stands; `plug`
// sends an input event first, `leave` closes the connection.
struct FakeSway {
    explicit FakeSway(const QString& socketPath)
        : listener(listeningAt(socketPath))
    {
        serving = std::jthread([this](const std::stop_token& stop) {
            const int client = accept(listener, nullptr, nullptr);
            for (char header[14]; !stop.stop_requested() && !leave;) {
                if (plug.exchange(false))
                    send(client, 0x80000015U, R"({"change": "added"})");
                if (recv(client, header, sizeof header, MSG_DONTWAIT) != sizeof header) {
                    QThread::usleep(1000);
                    continue;
                }
                std::uint32_t fields[2];
                std::memcpy(fields, header + 6, sizeof fields);
                std::string payload(fields[0], '\0');
                EXPECT_EQ(read(client, payload.data(), payload.size()), static_cast<ssize_t>(payload.size()));
                const std::lock_guard held(guard);
                send(client, fields[1], fields[1] == 100 ? inputs : R"({"success": true})");
            }
            close(client);
        });
    }
    ~FakeSway() { (serving.request_stop(), shutdown(listener, SHUT_RDWR), close(listener)); }
    static void send(int client, std::uint32_t type, const std::string& payload)
    {
        const std::uint32_t fields[] = {static_cast<std::uint32_t>(payload.size()), type};
        const std::string message
            = "i3-ipc" + std::string(reinterpret_cast<const char*>(fields), sizeof fields) + payload;
        EXPECT_EQ(write(client, message.data(), message.size()), static_cast<ssize_t>(message.size()));
    }
    std::mutex guard;
    std::string inputs = "[]";
    std::atomic<bool> plug = false, leave = false;
    int listener;
    std::jthread serving;
};

// The virtual pointer just plugged is not in sway's word until sway's answer to the event says how it set it up.
TEST(DesktopInputSettingsTest, SwayKnowsADeviceOnceItsInputsNameItAndAllThereIsOnceItWent)
{
    QTemporaryDir runtime;
    const QString socketPath = runtime.filePath("sway-ipc.sock");
    FakeSway sway(socketPath);
    QProcessEnvironment environment;
    environment.insert("SWAYSOCK", socketPath);
    const auto settings = desktopInputSettings(environment);
    int told = 0;
    const auto subscription = settings->onChanged([&] { ++told; });
    const InputDeviceInfo pointer{.node = "/dev/input/event9", .name = kVirtualPointerName, .mouse = true};
    const InputDeviceInfo other{.node = "/dev/input/event8", .name = "other mouse", .mouse = true};
    EXPECT_FALSE(settings->knows(pointer)) << "sway's first answer names no device";
    {
        const std::lock_guard held(sway.guard);
        sway.inputs = std::string(R"([{"name": ")") + kVirtualPointerName
            + R"(", "vendor": 0, "product": 0, "libinput": {"left_handed": "enabled"}}])";
    }
    sway.plug = true;
    for (const QDeadlineTimer patience(5000); !settings->knows(pointer) && !patience.hasExpired();)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_TRUE(settings->knows(pointer));
    EXPECT_TRUE(settings->of(pointer).leftHanded);
    EXPECT_EQ(told, 1);
    EXPECT_FALSE(settings->knows(other));
    sway.leave = true;
    for (const QDeadlineTimer patience(5000); !settings->knows(other) && !patience.hasExpired();)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_TRUE(settings->knows(other)) << "a sway that went tells nothing more";
}

// A fake Hyprland at `socketPath`: answers the n-th request with answers[n] once the test allows n + 1 answers.
struct FakeHyprland {
    FakeHyprland(const QString& socketPath, std::vector<std::string> answers)
        : answers(std::move(answers))
        , listener(listeningAt(socketPath))
    {
        serving = std::jthread([this] {
            for (int client; (client = accept(listener, nullptr, nullptr)) >= 0; ++served) {
                char request[16];
                EXPECT_EQ(std::string(request, std::max(0L, read(client, request, sizeof request))), "cursorpos");
                while (allowed <= served && !ending)
                    QThread::usleep(100);
                if (served < static_cast<int>(this->answers.size()))
                    (dprintf(client, "%s", this->answers[served].c_str()), close(client));
            }
        });
    }
    ~FakeHyprland() { (ending = true, shutdown(listener, SHUT_RDWR), close(listener)); }
    std::vector<std::string> answers;
    int listener;
    std::atomic<int> served = 0, allowed = 0;
    std::atomic<bool> ending = false;
    std::jthread serving;
};

TEST(HyprlandCursorTest, EachLookTakesTheAnswerThatCameAsksAgainAndNeverWaitsForHyprland)
{
    QTemporaryDir runtime;
    QDir().mkpath(runtime.filePath("hypr/sig"));
    fakes::FakeTime clock;
    EXPECT_EQ(HyprlandCursor::connect(QProcessEnvironment(), clock), nullptr) << "not Hyprland";
    QProcessEnvironment environment;
    (environment.insert("XDG_RUNTIME_DIR", runtime.path()), environment.insert("HYPRLAND_INSTANCE_SIGNATURE", "sig"));
    const QString socketPath = runtime.filePath("hypr/sig/.socket.sock");
    const auto cursor = HyprlandCursor::connect(environment, clock);
    const std::string refusal = errorOf<ToolError>([&] { cursor->start(); });
    EXPECT_NE(refusal.find(socketPath.toStdString() + ": No such"), std::string::npos) << refusal;
    // Each answer, and the position that stands once it is taken: one that is not two integers keeps the last.
    const std::pair<std::string, std::optional<ScreenPoint>> cases[] = {{"640, 512", ScreenPoint{640, 512}},
        {"-1280, 7\n", ScreenPoint{-1280, 7}}, {"unknown request", ScreenPoint{-1280, 7}},
        {"12, 34x", ScreenPoint{-1280, 7}}, {"99999999999, 1", ScreenPoint{-1280, 7}}, {"", ScreenPoint{-1280, 7}}};
    std::vector<std::string> answers;
    for (const auto& [answer, position] : cases)
        answers.push_back(answer);
    std::optional<FakeHyprland> hyprland(std::in_place, socketPath, answers);
    cursor->start();
    for (int taken = 0; taken < static_cast<int>(std::size(cases)); ++taken) {
        EXPECT_EQ(cursor->position(), taken ? cases[taken - 1].second : std::nullopt) << "before it is answered";
        hyprland->allowed = taken + 1; // taken once the request after it is out
        for (const QDeadlineTimer patience(5000); hyprland->served <= taken + 1 && !patience.hasExpired();)
            (cursor->position(), QThread::usleep(100));
        EXPECT_EQ(cursor->position(), cases[taken].second) << cases[taken].first;
    }
    cursor->stop();
    hyprland.reset();
    QFile::remove(socketPath);
    const FakeHyprland silent(socketPath, {}); // no answer: the look says nothing, then a second later why
    cursor->start();
    EXPECT_EQ(cursor->position(), std::nullopt);
    clock.now += 1.1;
    const std::string said = errorOf<ToolError>([&] { cursor->position(); });
    EXPECT_NE(said.find(".socket.sock: no answer within 1 s"), std::string::npos) << said;
}

} // namespace
