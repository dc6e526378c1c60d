// clickpath-cli as a user runs it, on a private Xvfb with the real X11 layer.
#include "platform/x11/X11Harness.h"

#include <QProcess>
#include <QRegularExpression>

#include <gtest/gtest.h>

using namespace clickpath::fakes;

namespace {

const QStringList kNoWaitsNoOffsets{
    "--sleep", "0", "--click-wait", "0", "--vertical-margin", "0", "--horizontal-margin", "0", "--first-wait", "0"};

struct Outcome {
    int exitCode = -1;
    QString errors;
};

// Starts clickpath-cli; `environment` replaces the test's own when given.
void start(QProcess& cli, const QStringList& arguments, const QStringList& environment = {})
{
    if (!environment.isEmpty())
        cli.setEnvironment(environment);
    cli.start(CLICKPATH_CLI, arguments);
    ASSERT_TRUE(cli.waitForStarted());
}

Outcome finish(QProcess& cli)
{
    cli.waitForFinished(20000);
    return {cli.exitStatus() == QProcess::NormalExit ? cli.exitCode() : -1, cli.readAllStandardError()};
}

Outcome run(const QStringList& arguments, const QStringList& environment = {})
{
    QProcess cli;
    start(cli, arguments, environment);
    return finish(cli);
}

TEST(CliX11Test, PlayMovesThroughEveryPositionAndClicksAtTheRecordedPixelsInEachPass)
{
    QTemporaryDir dir;
    XUser user;
    user.moveTo(5, 5);
    user.take();
    writeFile(dir.filePath("walk.txt"), "400,300,0\r\n410,305,128\r\n420,310,128\r\n430,315,0\r\n1279,1023,0\r\n");
    const Outcome played = run(QStringList{"play", dir.filePath("walk.txt"), "--passes", "2"} + kNoWaitsNoOffsets);
    EXPECT_EQ(played.exitCode, 0);
    EXPECT_EQ(played.errors, ""); // no terminal: no progress line
    const std::vector<InputEvent> pass{move(400, 300), move(410, 305), press(410, 305), move(420, 310), move(430, 315),
        release(430, 315), move(1279, 1023)};
    std::vector<InputEvent> twice = pass;
    twice.insert(twice.end(), pass.begin(), pass.end());
    EXPECT_EQ(user.take(), twice);
}

TEST(CliX11Test, TheRightButtonSigintAndSigtermStopAPlayAndLeaveNoButtonDown)
{
    QTemporaryDir dir;
    std::string held;
    for (int i = 0; i < 3000; ++i)
        held += std::to_string(300 + i % 500) + ",400,128\r\n";
    writeFile(dir.filePath("held.txt"), held);
    for (const auto& [stop, exitCode] : {std::pair{0, 0}, {SIGINT, 130}, {SIGTERM, 143}}) {
        XUser user;
        QProcess cli;
        start(cli, QStringList{"play", dir.filePath("held.txt"), "--loop"} + kNoWaitsNoOffsets);
        ASSERT_TRUE(RealTool::pumpUntil([&] { return user.buttonsDown() != 0; }, 5000));
        if (stop)
            ::kill(static_cast<pid_t>(cli.processId()), stop);
        else
            user.click(3);
        EXPECT_EQ(finish(cli).exitCode, exitCode);
        EXPECT_EQ(user.buttonsDown(), 0u) << stop;
    }
}

TEST(CliX11Test, RecordKeepsEveryPressOfADoubleClickAndPlayReplaysBoth)
{
    QTemporaryDir dir;
    XUser user;
    user.moveTo(100, 100);
    QProcess cli;
    start(cli, {"record", dir.filePath("out.txt")});
    const QString out = dir.filePath("out.txt");
    ASSERT_TRUE(RealTool::pumpUntil([&] { return readFile(out).size() > 50; }, 5000));
    user.moveTo(200, 200);
    user.click(2); // the middle button is no part of a recording
    RealTool::runFor(50);
    user.click(1); // two clicks a few milliseconds apart
    RealTool::runFor(3);
    user.click(1);
    RealTool::runFor(50);
    user.button(3, true);
    EXPECT_EQ(finish(cli).exitCode, 0);
    user.button(3, false);
    QStringList runs;
    for (const QString& line : QString::fromStdString(readFile(out)).split("\r\n", Qt::SkipEmptyParts))
        if (runs.isEmpty() || runs.back() != line)
            runs << line;
    EXPECT_EQ(runs, (QStringList{"100,100,0", "200,200,0", "200,200,128", "200,200,0", "200,200,128", "200,200,0"}));

    user.take();
    EXPECT_EQ(run(QStringList{"play", out} + kNoWaitsNoOffsets).exitCode, 0);
    std::vector<InputEvent> buttons;
    for (const InputEvent& event : user.take())
        if (event.kind != InputEvent::Move)
            buttons.push_back(event);
    EXPECT_EQ(
        buttons, (std::vector<InputEvent>{press(200, 200), release(200, 200), press(200, 200), release(200, 200)}));
}

TEST(CliX11Test, UsageAndRunTimeErrorsSayWhatAndExitWithTheirCode)
{
    QStringList noDisplay = QProcess::systemEnvironment().filter(QRegularExpression("^(?!DISPLAY=)"));
    const std::tuple<QStringList, QStringList, int, const char*> cases[] = {
        {{"--help"}, noDisplay, 0, ""},
        {{"--version"}, noDisplay, 0, ""},
        {{"--bogus"}, {}, 2, "bogus"},
        {{"dance"}, {}, 2, "dance"},
        {{"play", "--passes", "x"}, {}, 2, "--passes"},
        {{"record"}, {}, 2, "FILE"},
        {QStringList{"play", "/nonexistent/walk.txt"} + kNoWaitsNoOffsets, {}, 1, "/nonexistent/walk.txt"},
        {{"record", "/nonexistent/out.txt"}, {}, 1, "/nonexistent/out.txt"},
        {QStringList{"play"} + kNoWaitsNoOffsets, noDisplay, 1, "DISPLAY"},
    };
    for (const auto& [arguments, environment, exitCode, named] : cases) {
        const Outcome result = run(arguments, environment);
        EXPECT_EQ(result.exitCode, exitCode) << arguments.join(' ').toStdString();
        EXPECT_TRUE(result.errors.contains(named)) << result.errors.toStdString();
        EXPECT_EQ(result.errors.count('\n') > 1, exitCode == 2) << "a usage error shows the usage";
    }
}

} // namespace
