// The command line's parsing, and its sessions on the fake desktop with the
// progress line they show.
#include "cli/Session.h"
#include "fakes/FakeDesktop.h"

#include <gtest/gtest.h>

using namespace clickpath;
using namespace clickpath::fakes;
using cli::Command;

namespace {

cli::Invocation parse(const QString& line)
{
    return cli::parseCommandLine(("clickpath-cli " + line).split(' ', Qt::SkipEmptyParts));
}

TEST(CommandLineTest, ReadsEachCommandWithItsOptions)
{
    EXPECT_EQ(parse("--help").command, Command::Help);
    EXPECT_EQ(parse("play --version").command, Command::Version);
    const cli::Invocation play = parse("play walk.txt --sleep 2.5 --first-wait -1 --passes 3");
    EXPECT_EQ(play.command, Command::Play);
    EXPECT_EQ(play.file, "walk.txt");
    EXPECT_EQ(play.overrides,
        (std::map<SettingBox, QString>{{SettingBox::SleepBound, "2.5"}, {SettingBox::FirstPassWait, "-1"}}));
    EXPECT_EQ(play.passes, 3);
    EXPECT_TRUE(parse("play --loop").loop && parse("play --loop").file.isEmpty());
    EXPECT_EQ(parse("record out.txt").file, "out.txt");
}

TEST(CommandLineTest, UsageErrorsNameWhatIsWrong)
{
    const std::pair<const char*, const char*> cases[] = {{"", "no command"}, {"dance", "\"dance\""},
        {"play --bogus", "bogus"}, {"play --sleep", "sleep"}, {"play --sleep x", "--sleep: \"x\""},
        {"play --vertical-margin 3E38", "--vertical-margin"}, {"play --first-wait 40000", "--first-wait"},
        {"play --passes 0", "--passes"}, {"play --passes 1 --loop", "--loop"}, {"play a b", "\"b\""},
        {"record", "FILE"}, {"record a --loop", "options of play"}};
    for (const auto& [line, named] : cases) {
        try {
            parse(line);
            ADD_FAILURE() << line;
        } catch (const cli::UsageError& error) {
            EXPECT_NE(std::string(error.what()).find(named), std::string::npos) << line << ": " << error.what();
        }
    }
}

class SessionTest : public ::testing::Test {
protected:
    // A session of this command line, the settings file giving every number 0.
    cli::Session& start(const QString& line)
    {
        writeFile(dir.filePath("clickpath.ini"),
            "[STATUS]\nSLEEP_TIME=0\nWAIT_CLICK_TIME=0\nVERTICAL_MARGIN=0\n"
            "HORIZON_MARGIN=0\nWAIT_FIRST_TIME=0\n");
        session.emplace(
            parse(line), core::AppPaths(dir.path(), "clickpath"), desk.services(),
            [this](const QString& text) { progress << text; }, [this](int code) { exitCode = code; });
        session->start();
        return *session;
    }
    // Ticks the playback until it ends, ten milliseconds apart.
    void play()
    {
        for (int i = 0; i < 1000 && !exitCode; ++i) {
            desk.clock.now += 0.01;
            session->playbackTick();
        }
    }

    QTemporaryDir dir;
    FakeDesktop desk;
    std::optional<cli::Session> session;
    QStringList progress;
    std::optional<int> exitCode;
};

TEST_F(SessionTest, PlaysTheGivenPassesShowingPassLineAndWait)
{
    writeFile(dir.filePath("walk.txt"), "1,1,0\r\n2,2,128\r\n3,3,0\r\n4,4,0\r\n");
    start("play " + dir.filePath("walk.txt") + " --passes 2 --first-wait 2");
    play();
    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(
        desk.pointer.buttons(), (std::vector<InputEvent>{press(2, 2), release(3, 3), press(2, 2), release(3, 3)}));
    EXPECT_EQ(progress.filter("first-pass wait"),
        (QStringList{"pass 1  line 3/4 [###############.....]  first-pass wait 2 s",
            "pass 1  line 3/4 [###############.....]  first-pass wait 1 s",
            "pass 1  line 3/4 [###############.....]  first-pass wait 0 s"}));
    EXPECT_EQ(progress.back(), "pass 2  line 4/4 [####################]");
}

TEST_F(SessionTest, ASignalOrTheRightButtonEndsALoopWithItsExitCodeAndNoButtonDown)
{
    for (const int signal : {15, 2, 0}) {
        exitCode.reset();
        writeFile(dir.filePath("clickpath.txt"), "1,1,128\r\n2,2,128\r\n");
        start("play --loop");
        session->playbackTick();
        session->playbackTick();
        ASSERT_TRUE(desk.pointer.down);
        if (signal)
            session->stop(signal);
        else
            desk.mouse->click(platform::MouseButton::Right, {true});
        EXPECT_EQ(exitCode, signal ? 128 + signal : 0);
        EXPECT_FALSE(desk.pointer.down);
    }
}

TEST_F(SessionTest, RecordsUntilStoppedShowingTimeLinesAndPointer)
{
    start("record " + dir.filePath("out.txt"));
    desk.pointer.x = 640;
    desk.pointer.y = 480;
    desk.mouse->click(platform::MouseButton::Left, {true});
    for (int i = 0; i < 250; ++i) {
        desk.clock.now += 0.01;
        session->recordingTick();
    }
    session->stop(2);
    EXPECT_EQ(exitCode, 130);
    EXPECT_EQ(progress.back(), "0:02.5  250 lines  X:640 Y:480  Click!");
    EXPECT_LE(progress.size(), 27); // ten times a second
    EXPECT_EQ(readFile(dir.filePath("out.txt")).size(), 250 * std::string("640,480,128\r\n").size());
}

TEST_F(SessionTest, NumbersThatNeitherTheOptionsNorTheSettingsGiveStopTheStart)
{
    writeFile(dir.filePath("clickpath.txt"), "1,1,0\r\n");
    writeFile(dir.filePath("clickpath.ini"), "[STATUS]\nSLEEP_TIME=abc\n");
    session.emplace(parse("play"), core::AppPaths(dir.path(), "clickpath"), desk.services(), nullptr, nullptr);
    EXPECT_THROW(session->start(), cli::UsageError);
    EXPECT_TRUE(desk.pointer.events.empty());
}

} // namespace
