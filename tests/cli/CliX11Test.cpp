// clickpath-cli as a user runs it, on a private Xvfb with the real X11 layer.
#include "platform/x11/X11Harness.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>

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

TEST(CliX11Test, TheRightButtonSigintAndSigtermStopAPlayInAPressOrAWaitWithNoButtonDown)
{
    QTemporaryDir dir;
    writeFile(dir.filePath("held.txt"), QByteArray("300,400,128\r\n").repeated(3000).toStdString());
    writeFile(dir.filePath("click.txt"), "300,300,128\r\n300,300,0\r\n");
    const std::tuple<int, int, const char*, const char*> cases[] = {{0, 0, "held.txt", "0"},
        {SIGINT, 130, "held.txt", "0"}, {SIGTERM, 143, "held.txt", "0"}, {SIGTERM, 143, "click.txt", "1000"}};
    for (const auto& [signal, exitCode, recording, wait] : cases) {
        XUser user;
        QProcess cli;
        cli.start(CLICKPATH_CLI,
            QStringList{"play", dir.filePath(recording), "--loop"} + kNoWaitsNoOffsets
                + QStringList{"--click-wait", wait});
        ASSERT_TRUE(pumpUntil([&] { return user.take().contains('P'); }, 5000));
        QThread::msleep(50);
        if (signal)
            ::kill(static_cast<pid_t>(cli.processId()), signal);
        else
            user.click(3);
        EXPECT_EQ(finish(cli).exitCode, exitCode) << recording;
        EXPECT_EQ(user.buttonsDown(), 0u) << signal;
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
    const std::tuple<QStringList, QStringList, int, const char*> cases[]
        = {{{"--help"}, noDisplay, 0, "--version\nPlays"}, {{"--bogus"}, {}, 2, "bogus"},
            {QStringList{"play", "/nonexistent/walk.txt"} + kNoWaitsNoOffsets, {}, 1, "/nonexistent"},
            {{"record", "/nonexistent/out.txt"}, {}, 1, "/nonexistent"}, {{"record", "x"}, noDisplay, 1, "DISPLAY"}};
    for (const auto& [arguments, environment, exitCode, named] : cases) {
        QProcess cli;
        cli.setProcessChannelMode(QProcess::MergedChannels);
        cli.setEnvironment(environment.isEmpty() ? QProcess::systemEnvironment() : environment);
        cli.start(CLICKPATH_CLI, arguments);
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
