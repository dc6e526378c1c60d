// The command line's parsing, and its sessions on the fake desktop with the progress line they show.
#include "cli/Session.h"
#include "fakes/FakeDesktop.h"

#include <gtest/gtest.h>

using namespace clickpath;
using namespace clickpath::fakes;

namespace {

const auto parse = [](const QString& line) {
    return cli::parseCommandLine(("clickpath-cli " + line).split(' ', Qt::SkipEmptyParts));
};

TEST(CommandLineTest, ReadsEachCommandWithItsOptionsAndNamesWhatIsWrong)
{
    EXPECT_EQ(parse("play --version").command, cli::Command::Version);
    EXPECT_EQ(parse("play --help-all").command, cli::Command::Help); // never a play
    const cli::Invocation play = parse("play walk.txt --sleep 2.5 --first-wait -1 --passes 3");
    EXPECT_EQ(play.file, "walk.txt");
    EXPECT_EQ(play.overrides,
        (std::map<SettingBox, QString>{{SettingBox::SleepBound, "2.5"}, {SettingBox::FirstPassWait, "-1"}}));
    EXPECT_EQ(play.passes, 3);
    EXPECT_TRUE(parse("play --loop").loop);
    EXPECT_EQ(parse("play --loop").file, "");
    EXPECT_EQ(parse("record out.txt").command, cli::Command::Record);
    const std::pair<const char*, const char*> errors[] = {{"", "no command"}, {"dance", "\"dance\""},
        {"play --sleep", "sleep"}, {"play --sleep x", "--sleep: \"x\""}, {"play --vertical-margin 3E9", "margin"},
        {"play --click-wait 40000", "wait"}, {"play --first-wait 40000", "--first-wait"},
        {"play --passes 0", "--passes"}, {"play --passes 1 --loop", "--loop"}, {"play a b", "\"b\""},
        {"record", "FILE"}, {"record a --loop", "options of play"}, {"record a --passes 2", "options of play"},
        {"record a --sleep 1", "options of play"}};
    for (const auto& [line, named] : errors) {
        const std::string said = errorOf<cli::UsageError>([&] { parse(line); });
        EXPECT_NE(said.find(named), std::string::npos) << line << ": " << said;
    }
}

struct SessionTest : ::testing::Test {
    void start(const QString& line,
        const std::string& settings = "[STATUS]\nSLEEP_TIME=0\nWAIT_CLICK_TIME=0\n"
                                      "VERTICAL_MARGIN=0\nHORIZON_MARGIN=0\nWAIT_FIRST_TIME=0\n")
    {
        writeFile(dir.filePath("clickpath.ini"), settings);
        session.emplace(
            parse(line), core::AppPaths(dir.path(), "clickpath"), desk.services(),
            [this](const QString& text) { progress << text; }, [this](int code) { exitCode = code; });
        session->start();
    }

    QTemporaryDir dir;
    FakeDesktop desk;
    std::optional<cli::Session> session;
    QStringList progress;
    std::optional<int> exitCode;
};

TEST_F(SessionTest, PlaysTheGivenPassesShowingPassLineAndWaitWhenEveryNumberIsGiven)
{
    const std::string said = errorOf<cli::UsageError>([&] { start("play", "[STATUS]\nSLEEP_TIME=abc\n"); });
    EXPECT_NE(said.find("clickpath.ini (for --sleep)"), std::string::npos) << said;
    writeFile(dir.filePath("walk.txt"), "1,1,0\r\n2,2,128\r\n3,3,0\r\n4,4,0\r\n");
    start("play " + dir.filePath("walk.txt") + " --passes 2 --first-wait 2");
    desk.time.run();
    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(desk.pointer.path(), "1,1 2,2 P 3,3 R 4,4 1,1 2,2 P 3,3 R 4,4");
    EXPECT_EQ(progress.filter("wait").join('|').replace("  line 3/4 [###############.....]  ", ": "),
        "pass 1: first-pass wait 2 s|pass 1: first-pass wait 1 s|pass 1: first-pass wait 0 s|pass 1: click wait 0 s|"
        "pass 2: click wait 0 s");
    EXPECT_EQ(progress.back(), "pass 2  line 4/4 [####################]");
}

TEST_F(SessionTest, RecordsUntilStoppedShowingTimeLinesAndPointerTenTimesASecondAndSaysAFailedWrite)
{
    desk.waitingAtOpen = {{platform::MouseButton::Right, true}, {platform::MouseButton::Right, false}};
    start("record " + dir.filePath("out.txt")); // a right click from before the start stops nothing
    desk.pointer.x = 640;
    desk.mouse->click(platform::MouseButton::Left, {true});
    desk.time.runFor(2.505);
    session->stop(2);
    EXPECT_EQ(exitCode, 130);
    EXPECT_EQ(progress.back(), "0:02.5  250 lines  X:640 Y:0  Click!");
    EXPECT_LE(progress.size(), 27);
    start("record " + dir.filePath("out.txt")); // opens, and fails at the first line
    const FileSizeLimit fullDisk(0);
    desk.time.runFor(0.01);
    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(desk.messages.errors, QStringList{"Cannot write to " + dir.filePath("out.txt") + ": File too large"});
}

} // namespace
