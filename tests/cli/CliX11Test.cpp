// clickpath-cli and the window as a user runs them, on a private Xvfb with the real X11 layer.
#include "fakes/FakeDesktop.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QRegularExpression>
#include <QThread>

#include <gtest/gtest.h>

#include <poll.h>
#include <pty.h>
#include <unistd.h>

// Last: Xlib's macros clash with Qt's names.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

using namespace clickpath;
using namespace clickpath::fakes;

namespace {

// A second client of the display, acting and looking as a user would: moves and clicks through XTEST, and unless
// it only acts, a full-screen input window above everything that sees every motion and button event.
class XUser {
public:
    explicit XUser(bool watching = true)
        : display_(XOpenDisplay(nullptr))
    {
        if (!display_)
            throw std::runtime_error("the test's user cannot open the display");
        XSetWindowAttributes attributes{};
        attributes.override_redirect = True;
        attributes.event_mask = PointerMotionMask | ButtonPressMask | ButtonReleaseMask;
        if (watching) {
            const Window input = XCreateWindow(display_, DefaultRootWindow(display_), 0, 0, 1280, 1024, 0,
                CopyFromParent, InputOnly, CopyFromParent, CWOverrideRedirect | CWEventMask, &attributes);
            (XMapRaised(display_, input), XSync(display_, False));
        }
    }
    ~XUser() { XCloseDisplay(display_); }
    // What the pointer did since the last call: moves, and presses and releases of button 1, as "10,20 P 12,22 R".
    QString take()
    {
        XSync(display_, False);
        QStringList trail;
        QString lastMove;
        for (XEvent e; XPending(display_);) {
            XNextEvent(display_, &e);
            const QString at = QStringLiteral("%1,%2").arg(e.xmotion.x_root).arg(e.xmotion.y_root);
            if (e.type == MotionNotify && at != lastMove)
                trail << (lastMove = at);
            else if ((e.type == ButtonPress || e.type == ButtonRelease) && e.xbutton.button == Button1)
                trail << (e.type == ButtonPress ? "P" : "R");
        }
        return trail.join(' ');
    }
    unsigned int buttonsDown() // a bitmask, 0 for none
    {
        Window window = 0;
        int at = 0;
        unsigned int mask = 0; // the other answers are not needed
        XQueryPointer(display_, DefaultRootWindow(display_), &window, &window, &at, &at, &at, &at, &mask);
        return mask & (Button1Mask | Button2Mask | Button3Mask);
    }
    void moveTo(int x, int y) { (XTestFakeMotionEvent(display_, -1, x, y, CurrentTime), XSync(display_, False)); }
    void button(unsigned int which, bool down)
    {
        (XTestFakeButtonEvent(display_, which, down, CurrentTime), XSync(display_, False));
    }
    void click(unsigned int which) { (button(which, true), button(which, false)); }
    // A key as a user presses it, or held by this client as another program would hold it.
    void press(const char* key)
    {
        const KeyCode code = XKeysymToKeycode(display_, XStringToKeysym(key));
        (XTestFakeKeyEvent(display_, code, True, CurrentTime), XTestFakeKeyEvent(display_, code, False, CurrentTime));
        XSync(display_, False);
    }
    void hold(const char* key)
    {
        const KeyCode code = XKeysymToKeycode(display_, XStringToKeysym(key));
        XGrabKey(display_, code, AnyModifier, DefaultRootWindow(display_), False, GrabModeAsync, GrabModeAsync);
        XSync(display_, False);
    }
    // A left-handed desk: the primary button is the physical right one (as `xmodmap -e "pointer = 3 2 1"`).
    void swapButtons(bool swapped)
    {
        unsigned char map[32];
        const int buttons = XGetPointerMapping(display_, map, sizeof map);
        (map[0] = swapped ? 3 : 1, map[2] = swapped ? 1 : 3);
        (XSetPointerMapping(display_, map, buttons), XSync(display_, False));
    }
    // A viewable top-level window by its title, 0 while there is none; and the left button at a place of it.
    static Window findWindow(const QString& title)
    {
        QProcess search;
        search.start("xdotool", {"search", "--onlyvisible", "--name", "^" + title + "$"});
        return search.waitForFinished() ? search.readAllStandardOutput().split('\n').value(0).toULong() : 0;
    }
    static void clickInWindow(Window window, int x, int y)
    {
        run("xdotool",
            {"mousemove", "--window", QString::number(window), QString::number(x), QString::number(y), "click", "1"});
    }
    // What other programs can do to a window: destroy it, or cut the connection of its client (as xkill does).
    void destroyWindow(Window window) { (XDestroyWindow(display_, window), XSync(display_, False)); }
    void killClientOf(Window window) { (XKillClient(display_, window), XSync(display_, False)); }

private:
    Display* display_;
};

// Waits until `done` or the time is up; false when it is up. It polls: other processes offer no event to wait on.
bool pumpUntil(const std::function<bool()>& done, int milliseconds)
{
    for (const QDeadlineTimer deadline(milliseconds); !done(); QThread::msleep(5))
        if (deadline.hasExpired())
            return false;
    return true;
}

const QStringList kNoWaitsNoOffsets{
    "--sleep", "0", "--click-wait", "0", "--vertical-margin", "0", "--horizontal-margin", "0", "--first-wait", "0"};

enum class Way { RightButton, Signal, SignalTwice, DestroyWindow, KillClient, StopCommand, StopKey };

struct WayOut {
    const char* name;
    int exitCode;
    Way way;
    int signal = 0;              // of a Way::Signal
    bool window = false;         // the window program, or clickpath-cli
    bool recording = false;      // "Rec" or record; else a looped replay of a held press
    bool pausedTerminal = false; // the progress line goes to a terminal paused by Ctrl+S
};

// A terminal whose output is paused, as Ctrl+S pauses it; standard error of the program started next goes there.
struct PausedTerminal {
    explicit PausedTerminal(QProcess& program)
    {
        if (::openpty(&master, &slave, nullptr, nullptr, nullptr) != 0)
            throw std::runtime_error("no pseudo-terminal");
        [[maybe_unused]] const auto written = ::write(master, "\x13", 1); // Ctrl+S
        program.setChildProcessModifier([this] { ::dup2(slave, STDERR_FILENO); });
    }
    ~PausedTerminal() { (::close(master), ::close(slave)); }
    // Resumes it (Ctrl+Q) and reads what it shows, until it has been quiet for half a second.
    std::string resumeAndRead() const
    {
        [[maybe_unused]] const auto written = ::write(master, "\x11", 1);
        std::string shown;
        char buffer[4096];
        for (pollfd readable{master, POLLIN, 0}; ::poll(&readable, 1, 500) == 1;) {
            const ssize_t got = ::read(master, buffer, sizeof buffer);
            if (got <= 0)
                break;
            shown.append(buffer, static_cast<std::size_t>(got));
        }
        return shown;
    }
    int master = -1, slave = -1;
};

TEST(WaysOutTest, EveryWayOutEndsWithItsExitStatusNoButtonDownAndWholeLines)
{
    QTemporaryDir dir;
    const QString window = dir.filePath("clickpath"); // a copy, with its files beside it
    ASSERT_TRUE(QFile::copy(CLICKPATH_WINDOW, window));
    writeFile(dir.filePath("clickpath.ini"),
        "[STATUS]\nSLEEP_TIME=0\nWAIT_CLICK_TIME=0\nVERTICAL_MARGIN=0\nHORIZON_MARGIN=0\nWAIT_FIRST_TIME=0\n");
    const WayOut cases[] = {{"the right button", 0, Way::RightButton}, {"SIGHUP", 129, Way::Signal, SIGHUP},
        {"SIGINT", 130, Way::Signal, SIGINT}, {"SIGQUIT", 131, Way::Signal, SIGQUIT},
        {"SIGUSR1", 138, Way::Signal, SIGUSR1}, {"SIGUSR2", 140, Way::Signal, SIGUSR2},
        {"SIGPIPE", 141, Way::Signal, SIGPIPE}, {"SIGALRM", 142, Way::Signal, SIGALRM},
        {"SIGTERM", 143, Way::Signal, SIGTERM}, {"Ctrl+C twice", 130, Way::SignalTwice, SIGINT},
        {"the right button, terminal paused", 0, Way::RightButton, 0, false, false, true},
        {"record, SIGHUP", 129, Way::Signal, SIGHUP, false, true}, {"window, SIGTERM", 143, Way::Signal, SIGTERM, true},
        {"window, destroyed", 0, Way::DestroyWindow, 0, true},
        {"window, its connection cut", 1, Way::KillClient, 0, true},
        {"window, clickpath-cli stop, then SIGTERM", 143, Way::StopCommand, SIGTERM, true},
        {"window, Pause, then SIGTERM", 143, Way::StopKey, SIGTERM, true},
        {"window Rec, SIGTERM", 143, Way::Signal, SIGTERM, true, true}};
    for (const WayOut& row : cases) {
        SCOPED_TRACE(row.name);
        XUser user(false);
        if (user.buttonsDown())
            user.button(1, false); // left down by an earlier row that failed
        const QString recording = dir.filePath(row.window ? "clickpath.txt" : "out.txt");
        writeFile(dir.filePath("clickpath.txt"),
            row.recording ? "" : QByteArray("300,400,128\r\n").repeated(3000).toStdString());
        QProcess program;
        std::optional<PausedTerminal> terminal;
        if (row.pausedTerminal)
            terminal.emplace(program);
        Window shown = 0;
        if (row.window) {
            program.start(window, {});
            ASSERT_TRUE(pumpUntil([&] { return (shown = user.findWindow("clickpath")) != 0; }, 10000));
            if (row.way == Way::StopKey)
                user.press("Pause");                                // while nothing runs: it stops nothing later
            user.clickInWindow(shown, row.recording ? 20 : 80, 15); // "Rec" or "Auto"
        } else {
            program.start(CLICKPATH_CLI,
                row.recording ? QStringList{"record", recording}
                              : QStringList{"play", dir.filePath("clickpath.txt"), "--loop"} + kNoWaitsNoOffsets);
        }
        ASSERT_TRUE(pumpUntil(
            [&] { return row.recording ? readFile(recording).size() > 30 : (user.buttonsDown() & Button1Mask) != 0; },
            10000));
        if (row.way == Way::RightButton)
            user.click(3);
        else if (row.way == Way::DestroyWindow)
            user.destroyWindow(shown);
        else if (row.way == Way::KillClient)
            user.killClientOf(shown);
        else if (row.way == Way::StopCommand)
            EXPECT_EQ(run(CLICKPATH_CLI, {"stop"}).exitCode, 0);
        else if (row.way == Way::StopKey)
            user.press("Pause");
        if (row.way == Way::StopCommand || row.way == Way::StopKey) { // the window stays: the play let go, then a close
            EXPECT_TRUE(pumpUntil([&] { return user.buttonsDown() == 0; }, 5000));
            ::kill(static_cast<pid_t>(program.processId()), row.signal);
        } else
            for (int times = row.way == Way::SignalTwice ? 2 : 1; times > 0; --times)
                ::kill(static_cast<pid_t>(program.processId()), row.signal);
        const Outcome ended = finish(program, 10000);
        EXPECT_EQ(ended.exitCode, row.exitCode) << ended.said.toStdString();
        EXPECT_EQ(user.buttonsDown(), 0u);
        // The last progress line is ended, so that the shell's prompt starts a line of its own.
        EXPECT_TRUE(!terminal || terminal->resumeAndRead().ends_with("\n"));
        const QRegularExpression wholeLinesNoPress("^(\\d+,\\d+,0\r\n)+$");
        EXPECT_TRUE(!row.recording || wholeLinesNoPress.match(QString::fromStdString(readFile(recording))).hasMatch());
    }
}

TEST(CliX11Test, RecordKeepsEveryPressOfADoubleClickAndPlayClicksAtTheRecordedPixelsInEachPass)
{
    QTemporaryDir dir;
    const QString out = dir.filePath("out.txt");
    XUser user;
    user.moveTo(100, 100);
    QProcess cli;
    cli.start(CLICKPATH_CLI, {"record", out});
    ASSERT_TRUE(pumpUntil([&] { return readFile(out).size() > 50; }, 5000));
    const auto linesLater = [&](int lines) { // waits until the recording has that many more lines
        const auto written = [&] { return QString::fromStdString(readFile(out)).count("\r\n"); };
        return pumpUntil([&, until = written() + lines] { return written() >= until; }, 5000);
    };
    user.moveTo(200, 200);
    user.click(2); // the middle button is no part of a recording
    ASSERT_TRUE(linesLater(3));
    user.click(1); // a double-click faster than a tick
    user.click(1);
    ASSERT_TRUE(linesLater(6));
    user.button(3, true);
    EXPECT_EQ(finish(cli).exitCode, 0);
    user.button(3, false);
    EXPECT_EQ(folded(QString::fromStdString(readFile(out)).split("\r\n", Qt::SkipEmptyParts)),
        "100,100,0 200,200,0 200,200,128 200,200,0 200,200,128 200,200,0");
    writeFile(
        out, "400,300,0\r\n410,305,128\r\n420,310,128\r\n430,315,0\r\n430,315,128\r\n430,315,0\r\n1279,1023,0\r\n");
    user.take();
    const Outcome played = run(CLICKPATH_CLI, QStringList{"play", out, "--passes", "2"} + kNoWaitsNoOffsets);
    EXPECT_EQ(played.exitCode, 0);
    EXPECT_EQ(played.said, ""); // no terminal: no progress line
    const QString pass = "400,300 410,305 P 420,310 430,315 R P R 1279,1023";
    EXPECT_EQ(user.take(), pass + " " + pass);
}

// A looped drag that `stop` ends: the command, the stop key, both programs' own stop commands.
TEST(CliX11Test, TheStopCommandAndTheStopKeyEndWhatPlaysInThisSessionAndAKeyHeldElsewhereIsSaidOnce)
{
    QTemporaryDir dir;
    writeFile(dir.filePath("drag.txt"), QByteArray("300,400,128\r\n").repeated(3000).toStdString());
    XUser user(false);
    const QStringList play
        = QStringList{"play", dir.filePath("drag.txt"), "--loop", "--stop-key", "F12"} + kNoWaitsNoOffsets;
    const std::pair<const char*, std::function<void()>> ways[] = {
        {"clickpath-cli stop", [] { EXPECT_EQ(run(CLICKPATH_CLI, {"stop"}).exitCode, 0); }},
        {"the stop key", [&] { user.press("F12"); }},
    };
    for (const auto& [name, stop] : ways) {
        SCOPED_TRACE(name);
        QProcess cli;
        cli.start(CLICKPATH_CLI, play);
        ASSERT_TRUE(pumpUntil([&] { return (user.buttonsDown() & Button1Mask) != 0; }, 10000));
        stop();
        EXPECT_EQ(finish(cli, 10000).exitCode, 0);
        EXPECT_EQ(user.buttonsDown(), 0u);
    }
    const Outcome idle = run(CLICKPATH_CLI, {"stop"});
    EXPECT_EQ(std::pair(idle.exitCode, idle.said),
        std::pair(1, QString("clickpath-cli: nothing records or plays in this session\n")));
    user.hold("F12"); // another program holds it; or a modifier with no name here: said once, and the play runs on
    for (const auto& [key, said] : {std::pair("F12", "\"F12\" (another"), std::pair("Win+F12", "modifier \"Win\"")}) {
        const Outcome held = run(CLICKPATH_CLI,
            QStringList{"play", dir.filePath("drag.txt"), "--stop-key", key, "--speed", "10"} + kNoWaitsNoOffsets);
        EXPECT_EQ(held.exitCode, 0);
        EXPECT_EQ(held.said.count(said), 1) << held.said;
    }
}

TEST(CliX11Test, UnderASwappedButtonMapThePrimaryButtonIsRecordedAndReplayedAsTheLeftAndTheOtherStops)
{
    QTemporaryDir dir;
    const QString out = dir.filePath("out.txt");
    XUser user;
    user.swapButtons(true);
    const std::shared_ptr<void> unswap(nullptr, [&](void*) { user.swapButtons(false); });
    QProcess cli;
    cli.start(CLICKPATH_CLI, {"record", out});
    ASSERT_TRUE(pumpUntil([&] { return readFile(out).size() > 20; }, 5000));
    user.click(3); // the physical right button: the primary one
    ASSERT_TRUE(pumpUntil([&] { return readFile(out).find(",128") != std::string::npos; }, 5000));
    user.button(1, true); // the physical left one: the secondary, which stops
    EXPECT_EQ(finish(cli).exitCode, 0);
    user.button(1, false);
    writeFile(out, "400,300,0\r\n400,300,128\r\n400,300,0\r\n");
    user.take();
    EXPECT_EQ(run(CLICKPATH_CLI, QStringList{"play", out} + kNoWaitsNoOffsets).exitCode, 0);
    EXPECT_EQ(user.take(), "400,300 P R") << "a primary click, which the window sees as button 1";
}

TEST(CliX11Test, ErrorsSayWhatAndExitWithTheirCode)
{
    const QStringList noDisplay = QProcess::systemEnvironment().filter(QRegularExpression("^(?!DISPLAY=)"));
    const QString cli = CLICKPATH_CLI, window = CLICKPATH_WINDOW;
    // The program, its arguments and environment; its exit status, what it says, and what it does not say.
    std::vector<std::tuple<QString, QStringList, QStringList, int, const char*, const char*>> cases
        = {{cli, {"--help"}, noDisplay, 0, "--version\nPlays", "Qt specific"},
            {cli, {"play", "--help"}, noDisplay, 0, "--passes", "--json"},
            {cli, {"--help-all"}, noDisplay, 0, "record FILE", "Qt specific"},
            {window, {"--help"}, noDisplay, 0, "Usage: clickpath", "no display"},
            {window, {"--version"}, noDisplay, 0, "clickpath 0.", "no display"}, {cli, {"--bogus"}, {}, 2, "bogus", ""},
            {cli, QStringList{"play", "/nonexistent/walk.txt"} + kNoWaitsNoOffsets, {}, 1, "/nonexistent", ""},
            {cli, {"record", "x"}, noDisplay, 1, "DISPLAY", ""},
            {window, {}, noDisplay + QStringList{"DISPLAY=:x"}, 1, "display \":x\"", ""},
            {cli, {"play", "x"}, noDisplay + QStringList{"WAYLAND_DISPLAY=nowhere"}, 1, "Wayland display nowhere", ""}};
    if (qEnvironmentVariableIsSet("CLICKPATH_DISPLAY_WITHOUT_XTEST")) // run on an Xvfb without it
        cases = {{cli, {"record", "/dev/null"}, {}, 1, "XTEST", ""}};
    for (const auto& [program, arguments, environment, exitCode, named, unsaid] : cases) {
        SCOPED_TRACE((program + ' ' + arguments.join(' ')).toStdString());
        QProcess cli;
        cli.setProcessChannelMode(QProcess::MergedChannels);
        cli.setEnvironment(environment.isEmpty() ? QProcess::systemEnvironment() : environment);
        cli.start(program, arguments);
        const Outcome result = finish(cli, 10000);
        EXPECT_EQ(result.exitCode, exitCode);
        EXPECT_TRUE(result.said.contains(named)) << result.said.toStdString();
        EXPECT_TRUE(*unsaid == 0 || !result.said.contains(unsaid)) << result.said.toStdString();
        EXPECT_EQ(result.said.contains("Usage:"), exitCode == 2 || arguments.join(" ").contains("--help"))
            << "help and usage errors show the usage";
    }
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
