// clickpath-cli as a user runs it, on a private Xvfb with the real X11 layer.
#include "platform/x11/X11Harness.h"

#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>
#include <optional>
#include <pty.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace clickpath;
using namespace clickpath::fakes;

namespace {

const QStringList kNoWaitsNoOffsets{
    "--sleep", "0", "--click-wait", "0", "--vertical-margin", "0", "--horizontal-margin", "0", "--first-wait", "0"};

TEST(CliX11Test, PlayMovesThroughEveryPositionAndClicksAtTheRecordedPixelsInEachPass)
{
    QTemporaryDir dir;
    XUser user;
    user.moveTo(5, 5);
    user.take();
    writeFile(dir.filePath("walk.txt"), "400,300,0\r\n410,305,128\r\n420,310,128\r\n430,315,0\r\n1279,1023,0\r\n");
    const Outcome played
        = run(CLICKPATH_CLI, QStringList{"play", dir.filePath("walk.txt"), "--passes", "2"} + kNoWaitsNoOffsets);
    EXPECT_EQ(played.exitCode, 0);
    EXPECT_EQ(played.said, ""); // no terminal: no progress line
    EXPECT_EQ(
        user.take(), "400,300 410,305 P 420,310 430,315 R 1279,1023 400,300 410,305 P 420,310 430,315 R 1279,1023");
}

// How a run of either program ends.
enum class Way { RightButton, Signal, SignalTwice, DestroyWindow, KillClient };

struct WayOut {
    const char* name;
    bool window;    // the window program, or clickpath-cli
    bool recording; // "Rec" or record; else a looped replay of a held press
    Way way;
    int signal;          // of a Way::Signal
    bool pausedTerminal; // the progress line goes to a terminal paused by Ctrl+S
    int exitCode;
};

// A terminal whose output is paused, as Ctrl+S pauses it; standard error of
// the program started next goes there.
struct PausedTerminal {
    explicit PausedTerminal(QProcess& program)
    {
        if (::openpty(&master, &slave, nullptr, nullptr, nullptr) != 0)
            throw std::runtime_error("no pseudo-terminal");
        [[maybe_unused]] const auto written = ::write(master, "\x13", 1); // Ctrl+S
        program.setChildProcessModifier([this] { ::dup2(slave, STDERR_FILENO); });
    }
    ~PausedTerminal() { (::close(master), ::close(slave)); }
    int master = -1, slave = -1;
};

TEST(WaysOutTest, EveryWayOutEndsWithItsExitStatusNoButtonDownAndWholeLines)
{
    QTemporaryDir dir;
    const QString window = dir.filePath("clickpath"); // a copy, with its files beside it
    ASSERT_TRUE(QFile::copy(CLICKPATH_WINDOW, window));
    writeFile(dir.filePath("clickpath.ini"),
        "[STATUS]\nSLEEP_TIME=0\nWAIT_CLICK_TIME=0\nVERTICAL_MARGIN=0\nHORIZON_MARGIN=0\nWAIT_FIRST_TIME=0\n");
    const WayOut cases[] = {
        {"the right button", false, false, Way::RightButton, 0, false, 0},
        {"SIGHUP", false, false, Way::Signal, SIGHUP, false, 129},
        {"SIGINT", false, false, Way::Signal, SIGINT, false, 130},
        {"SIGQUIT", false, false, Way::Signal, SIGQUIT, false, 131},
        {"SIGUSR1", false, false, Way::Signal, SIGUSR1, false, 138},
        {"SIGUSR2", false, false, Way::Signal, SIGUSR2, false, 140},
        {"SIGPIPE", false, false, Way::Signal, SIGPIPE, false, 141},
        {"SIGALRM", false, false, Way::Signal, SIGALRM, false, 142},
        {"SIGTERM", false, false, Way::Signal, SIGTERM, false, 143},
        {"Ctrl+C twice", false, false, Way::SignalTwice, SIGINT, false, 130},
        {"the right button, terminal paused", false, false, Way::RightButton, 0, true, 0},
        {"SIGINT, terminal paused", false, false, Way::Signal, SIGINT, true, 130},
        {"record, SIGHUP", false, true, Way::Signal, SIGHUP, false, 129},
        {"window, SIGTERM", true, false, Way::Signal, SIGTERM, false, 143},
        {"window, SIGHUP", true, false, Way::Signal, SIGHUP, false, 129},
        {"window, destroyed", true, false, Way::DestroyWindow, 0, false, 0},
        {"window, its connection cut", true, false, Way::KillClient, 0, false, 1},
        {"window Rec, SIGTERM", true, true, Way::Signal, SIGTERM, false, 143},
    };
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
        unsigned long shown = 0;
        if (row.window) {
            program.start(window, {});
            ASSERT_TRUE(pumpUntil([&] { return (shown = user.findWindow("clickpath")) != 0; }, 10000));
            user.clickInWindow(shown, row.recording ? 20 : 80, 15); // "Rec" or "Auto"
        } else {
            program.start(CLICKPATH_CLI,
                (row.recording ? QStringList{"record", recording}
                               : QStringList{"play", dir.filePath("clickpath.txt"), "--loop"})
                    + (row.recording ? QStringList{} : kNoWaitsNoOffsets));
        }
        const auto running
            = [&] { return row.recording ? readFile(recording).size() > 30 : (user.buttonsDown() & 0x100) != 0; };
        ASSERT_TRUE(pumpUntil(running, 10000));
        const auto pid = static_cast<pid_t>(program.processId());
        switch (row.way) {
        case Way::RightButton:
            user.click(3);
            break;
        case Way::Signal:
            ::kill(pid, row.signal);
            break;
        case Way::SignalTwice:
            (::kill(pid, row.signal), ::kill(pid, row.signal));
            break;
        case Way::DestroyWindow:
            user.destroyWindow(shown);
            break;
        case Way::KillClient:
            user.killClientOf(shown);
            break;
        }
        const Outcome ended = finish(program, 10000);
        EXPECT_EQ(ended.exitCode, row.exitCode) << ended.said.toStdString();
        EXPECT_EQ(user.buttonsDown(), 0u);
        if (row.recording) {
            EXPECT_TRUE(QRegularExpression("^(\\d+,\\d+,0\r\n)+$")
                            .match(QString::fromStdString(readFile(recording)))
                            .hasMatch());
        }
    }
}

TEST(CliX11Test, RecordKeepsEveryPressOfADoubleClickAndPlayReplaysBoth)
{
    QTemporaryDir dir;
    const QString out = dir.filePath("out.txt");
    XUser user;
    user.moveTo(100, 100);
    QProcess cli;
    cli.start(CLICKPATH_CLI, {"record", out});
    ASSERT_TRUE(pumpUntil([&] { return readFile(out).size() > 50; }, 5000));
    user.moveTo(200, 200);
    user.click(2); // the middle button is no part of a recording
    QThread::msleep(50);
    user.click(1); // two clicks a few milliseconds apart
    QThread::msleep(3);
    user.click(1);
    QThread::msleep(50);
    user.button(3, true);
    EXPECT_EQ(finish(cli).exitCode, 0);
    user.button(3, false);
    QStringList runs;
    for (const QString& line : QString::fromStdString(readFile(out)).split("\r\n", Qt::SkipEmptyParts))
        if (runs.isEmpty() || runs.back() != line)
            runs << line;
    EXPECT_EQ(runs.join(' '), "100,100,0 200,200,0 200,200,128 200,200,0 200,200,128 200,200,0");
    user.take();
    EXPECT_EQ(run(CLICKPATH_CLI, QStringList{"play", out} + kNoWaitsNoOffsets).exitCode, 0);
    EXPECT_EQ(user.take(), "100,100 200,200 P R P R");
}

TEST(CliX11Test, ErrorsSayWhatAndExitWithTheirCode)
{
    if (qEnvironmentVariableIsSet("CLICKPATH_DISPLAY_WITHOUT_XTEST")) { // run on an Xvfb without it
        const Outcome refused = run(CLICKPATH_CLI, {"record", "/dev/null"});
        EXPECT_EQ(refused.exitCode, 1);
        EXPECT_TRUE(refused.said.contains("XTEST")) << refused.said.toStdString();
        return;
    }
    const QStringList noDisplay = QProcess::systemEnvironment().filter(QRegularExpression("^(?!DISPLAY=)"));
    const QStringList badDisplay = noDisplay + QStringList{"DISPLAY=:x"};
    QTemporaryDir dir;
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath("fifo")).constData(), 0600), 0);
    const QString cli = CLICKPATH_CLI;
    const std::tuple<QString, QStringList, QStringList, int, const char*> cases[]
        = {{cli, {"--help"}, noDisplay, 0, "--version\nPlays"}, {cli, {"--bogus"}, {}, 2, "bogus"},
            {cli, QStringList{"play", "/nonexistent/walk.txt"} + kNoWaitsNoOffsets, {}, 1, "/nonexistent"},
            {cli, QStringList{"play", dir.filePath("fifo")} + kNoWaitsNoOffsets, {}, 1, "fifo: it is not a regular"},
            {cli, {"record", "/nonexistent/out.txt"}, {}, 1, "/nonexistent"},
            {cli, {"record", "x"}, noDisplay, 1, "DISPLAY"}, {CLICKPATH_WINDOW, {}, badDisplay, 1, "display \":x\""}};
    for (const auto& [program, arguments, environment, exitCode, named] : cases) {
        QProcess cli;
        cli.setProcessChannelMode(QProcess::MergedChannels);
        cli.setEnvironment(environment.isEmpty() ? QProcess::systemEnvironment() : environment);
        cli.start(program, arguments);
        const Outcome result = finish(cli);
        EXPECT_EQ(result.exitCode, exitCode) << arguments.join(' ').toStdString();
        EXPECT_TRUE(result.said.contains(named)) << result.said.toStdString();
        EXPECT_EQ(result.said.contains("Usage:"), exitCode != 1) << "help and usage errors show the usage";
    }
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
