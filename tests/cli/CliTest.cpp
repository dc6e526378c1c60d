// The command line's parsing, its progress line, `info`, and its sessions on the fake desktop.
#include "cli/ProgressLine.h"
#include "cli/RecordingInfo.h"
#include "cli/Session.h"
#include "fakes/FakeDesktop.h"

#include <gtest/gtest.h>

using namespace clickpath;
using namespace clickpath::fakes;

namespace {

const auto parse = [](const QString& line) {
    return cli::parseCommandLine(("clickpath-cli " + line).split(' ', Qt::SkipEmptyParts));
};

TEST(CommandLineTest, ReadsEachCommandWithItsOptionsNamesWhatIsWrongAndFitsEightyColumns)
{
    EXPECT_EQ(parse("play --version").command, cli::Command::Version);
    EXPECT_EQ(parse("play --help-all").command, cli::Command::Help); // never a play
    const cli::Invocation play = parse("play walk.txt --sleep 2.5 --first-wait -1 --passes 3 --speed 2.5 --seed 7 "
                                       "--delay 1.5 --quiet");
    EXPECT_EQ(play.file, "walk.txt");
    EXPECT_EQ(play.overrides,
        (std::map<SettingBox, QString>{{SettingBox::SleepBound, "2.5"}, {SettingBox::FirstPassWait, "-1"}}));
    EXPECT_EQ(std::tuple(play.passes, play.speed, play.seed, play.delay, play.quiet),
        std::tuple(3, 2.5, std::optional<std::uint64_t>(7), 1.5, true));
    EXPECT_TRUE(parse("play --loop").loop);
    EXPECT_EQ(parse("play --sleep 32768 --click-wait -32768").overrides.size(), 2u) << "every draw of these fits";
    const cli::Invocation record = parse("record out.txt --delay 2 --quiet");
    EXPECT_EQ(std::pair(record.delay, record.quiet), std::pair(2.0, true));
    EXPECT_TRUE(parse("info walk.txt --json").json);
    const std::pair<const char*, const char*> errors[] = {{"", "no command"}, {"dance", "\"dance\""},
        {"play --sleep", "sleep"}, {"play --sleep x", "--sleep: \"x\""}, {"play --vertical-margin 3E9", "margin"},
        {"play --click-wait 40000", "wait"}, {"play --first-wait 40000", "--first-wait"},
        {"play --passes 0", "--passes"}, {"play --passes 1 --loop", "--loop"}, {"play a b", "\"b\""},
        {"play --speed 0.05", "from 0.1 to 10"}, {"play --speed 11", "--speed: \"11\""}, {"play --seed -1", "--seed"},
        {"play --delay -1", "--delay"}, {"play --json", "play takes no --json"}, {"record", "FILE"},
        {"record a --loop", "record takes no --loop"}, {"record a --passes 2", "no --passes"},
        {"record a --sleep 1", "no --sleep"}, {"record a --speed 2", "no --speed"}, {"record a --seed 1", "no --seed"},
        {"info --delay 1", "info takes no --delay"}, {"info --quiet", "no --quiet"}, {"info a b", "\"b\""}};
    for (const auto& [line, named] : errors) {
        const std::string said = errorOf<cli::UsageError>([&] { parse(line); });
        EXPECT_NE(said.find(named), std::string::npos) << line << ": " << said;
    }
    for (const QString& line : (cli::usage() + cli::helpText() + cli::helpText(cli::Command::Play)).split(QChar(10)))
        EXPECT_LE(line.size(), 80) << line;
    // Each help names what its command takes, and nothing another takes.
    for (const auto& [command, says, saysNot] : {std::tuple(cli::Command::Help, "stop: stop what", "The recording."),
             std::tuple(cli::Command::Play, "The recording.", "stop: stop what"),
             std::tuple(cli::Command::Stop, "this session", "FILE")})
        EXPECT_TRUE(cli::helpText(command).contains(says) && !cli::helpText(command).contains(saysNot)) << says;
}

TEST(ProgressLineTest, FitsEachWidthShorteningTheBarThenDroppingWhatTellsLeast)
{
    const cli::PlayProgress play{2, 153, 3000, "click wait", "4"};
    const cli::RecordProgress record{65.2, 6520, 640, 480, true};
    const std::tuple<int, QString, QString> widths[] = {
        {80, "pass 2  line 153/3000 [#...................]  click wait 4 s", "1:05.2  6520 lines  X:640 Y:480  Click!"},
        {40, "pass 2  line 153/3000  click wait 4 s", "1:05.2  6520 lines  X:640 Y:480  Click!"},
        {20, "click wait 4 s", "X:640 Y:480  Click!"}, {8, "click w", "X:640 Y"}};
    for (const auto& [width, playText, recordText] : widths) {
        EXPECT_EQ(cli::playLine(play, width), playText) << width;
        EXPECT_EQ(cli::recordLine(record, width), recordText) << width;
    }
    EXPECT_EQ(cli::playLine({1, 0, 0, "", ""}, 80), "pass 1  line 0/0 [....................]");
}

TEST(RecordingInfoTest, CountsRecordsPressesAsThePlayerSendsThemTheAreaAndWhereReadingStops)
{
    QTemporaryDir dir;
    std::string longLine;
    for (int i = 0; i < 1000; ++i)
        longLine += std::to_string(i) + ",5," + (i == 500 ? "128," : "0,");
    // The recording; the records, clicks and drags, the area (none: 0,0 0,0), and the line where it stops and why.
    const std::pair<std::string, QString> recordings[] = {
        {"1,1,0\r\n5,5,128\r\n6,6,128\r\n6,6,0\r\n7,7,128\r\n7,7,-7\r\n7,7,0\r\n", "7 1 1 1,1 7,7 0: "},
        {"", "0 0 0 0,0 0,0 0: "}, {"1,1,0\r\n\r\n8,x,0\r\n9,9,0\r\n", "1 0 0 1,1 1,1 3: Bad recording: \"x\" is not"},
        {"\xEF\xBB\xBF-2,3,128\r\n", "1 1 0 -2,3 -2,3 0: "},      // a press held at the end is let go there
        {longLine, "1000 0 1 0,5 999,5 0: "},                     // the release comes one pixel on: a drag
        {"1,1,128\r\n1,1,128\r\n2,2,0\r\n", "3 0 1 1,1 2,2 0: "}, // held in place, let go elsewhere: a drag
        {"1,2,0\r\n" + std::string(100, '7'), "1 0 0 1,2 1,2 2: Bad recording: a field "}};
    for (const auto& [bytes, expected] : recordings) {
        writeFile(dir.filePath("r.txt"), bytes);
        const cli::RecordingInfo info = cli::readRecordingInfo(dir.filePath("r.txt"));
        const auto area = info.area.value_or(cli::RecordingInfo::Area{});
        const QString summary = QString::asprintf("%ld %ld %ld %d,%d %d,%d %ld: ", info.records, info.clicks,
                                    info.drags, area.left, area.top, area.right, area.bottom, info.stopLine)
            + info.stop;
        EXPECT_TRUE(summary.startsWith(expected)) << summary;
    }
    const cli::RecordingInfo info{6000, 2, 1, cli::RecordingInfo::Area{0, 1, 2, 3}, "Bad", 9};
    EXPECT_EQ(cli::describeAsJson("r.txt", info),
        "{\"area\":{\"bottom\":3,\"left\":0,\"right\":2,\"top\":1},\"clicks\":2,\"drags\":1,\"file\":\"r.txt\","
        "\"records\":6000,\"seconds\":60,\"stop\":{\"line\":9,\"reason\":\"Bad\"}}\n");
    EXPECT_TRUE(cli::describe("r.txt", info).contains("duration  60.00 s"));
}

struct SessionTest : ::testing::Test {
    static constexpr const char* kZeros
        = "[STATUS]\nSLEEP_TIME=0\nWAIT_CLICK_TIME=0\nVERTICAL_MARGIN=0\nHORIZON_MARGIN=0\nWAIT_FIRST_TIME=0\n";
    void start(const QString& line, const std::string& settings = kZeros)
    {
        (writeFile(dir.filePath("clickpath.ini"), settings), exitCode.reset());
        session.emplace(
            parse(line), core::AppPaths(dir.path(), "clickpath"), desk.services(),
            [this](const QString& text) { progress << text; }, [this](int code) { exitCode = code; });
        session->start();
    }
    QString walk(const std::string& records)
    {
        writeFile(dir.filePath("walk.txt"), records);
        return "play " + dir.filePath("walk.txt");
    }

    QTemporaryDir dir;
    FakeDesktop desk;
    std::optional<cli::Session> session;
    QStringList progress;
    std::optional<int> exitCode;
};

TEST_F(SessionTest, PlaysTheGivenPassesShowingPassLineAndWait)
{
    start(walk("1,1,0\r\n2,2,128\r\n3,3,0\r\n4,4,0\r\n") + " --passes 2 --first-wait 2");
    desk.time.run();
    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(desk.pointer.path(), "1,1 2,2 P 3,3 R 4,4 1,1 2,2 P 3,3 R 4,4");
    EXPECT_EQ(progress.first(), "pass 1  line 0/4 [....................]");
    EXPECT_EQ(progress.filter("wait").join('|').replace("  line 3/4 [###############.....]  ", ": "),
        "pass 1: first-pass wait 2 s|pass 1: first-pass wait 1 s|pass 1: first-pass wait 0 s|pass 1: click wait 0 s|"
        "pass 2: click wait 0 s");
    EXPECT_EQ(progress.back(), "pass 2  line 4/4 [####################]");
}

TEST_F(SessionTest, NumbersMissingFromTheSettingsAreNamedAllAtOnceAndOnlyThoseThePlayUses)
{
    const std::tuple<QString, std::string, const char*> cases[]
        = {{" --passes 2", "[STATUS]\nSLEEP_TIME=abc\nWAIT_CLICK_TIME=1\n",
               "clickpath.ini lacks VERTICAL_MARGIN, HORIZON_MARGIN and WAIT_FIRST_TIME: give --vertical-margin, "
               "--horizontal-margin and --first-wait; <dir>/clickpath.ini (for --sleep): \"abc\" is not a number"},
            {" --horizontal-margin 0", "",
                "no settings file <dir>/clickpath.ini: give --click-wait, --vertical-margin "
                "and --first-wait, or store the numbers with SET in clickpath"}};
    for (const auto& [options, settings, said] : cases) {
        if (settings.empty())
            QFile::remove(dir.filePath("clickpath.ini"));
        else
            writeFile(dir.filePath("clickpath.ini"), settings);
        const std::string error = errorOf<cli::SettingsError>([&, options = options] {
            cli::Session(
                parse(walk("1,1,0\r\n") + options), core::AppPaths(dir.path(), "clickpath"), desk.services(), {}, {})
                .start();
        });
        EXPECT_TRUE(QString::fromStdString(error).replace(dir.path(), "<dir>").endsWith(said)) << error;
    }
    for (const auto& [records, said] : {std::pair{"", "walk.txt: nothing to play"},
             {"x,1,0\r\n", "walk.txt: nothing to play (Bad recording: \"x\" is not an integer)"}}) {
        const std::string error = errorOf<ToolError>([&, records = records] { start(walk(records) + " --loop"); });
        EXPECT_TRUE(QString::fromStdString(error).endsWith(said)) << error;
    }
    EXPECT_EQ(desk.pointer.path(), "");
}

TEST_F(SessionTest, SpeedSetsTheRateASeedRepeatsTheDrawsAndADelayHoldsEverythingBackUntilItEnds)
{
    std::string records;
    for (int i = 0; i < 300; ++i)
        records += std::to_string(i) + ",0,0\r\n";
    for (const double factor : {0.1, 1.0, 3.0, 10.0}) {
        start(walk(records) + " --speed " + QString::number(factor));
        const double started = desk.time.now;
        desk.time.run();
        EXPECT_NEAR((desk.time.now - started) / (0.01 * 301 / factor), 1, 0.01) << factor;
    }
    QStringList runs; // the trail and the waits of each seed, twice
    for (const char* seed : {"7", "7", "8"}) {
        (desk.pointer.trail.clear(), progress.clear());
        start(walk("1,1,128\r\n1,1,0\r\n1,1,128\r\n1,1,0\r\n") + " --seed " + seed
            + " --horizontal-margin 100 --vertical-margin 100 --click-wait 100");
        desk.time.run();
        runs << desk.pointer.path() + progress.filter("click wait").join(' ');
    }
    EXPECT_EQ(runs[0], runs[1]);
    EXPECT_NE(runs[0], runs[2]);
    desk.pointer.trail.clear();
    (progress.clear(), start(walk("1,1,0\r\n") + " --delay 2.5"));
    desk.time.runFor(2.49);
    EXPECT_EQ(desk.pointer.path(), "");
    EXPECT_EQ(progress.join('|'), "starting in 3 s|starting in 2 s|starting in 1 s");
    desk.time.run();
    EXPECT_EQ(desk.pointer.path(), "1,1");
    start(walk("1,1,0\r\n") + " --delay 2");
    desk.time.at(desk.time.now + 1, [this] { desk.mouse->click(platform::MouseButton::Secondary, {true}); });
    desk.time.run();
    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(desk.pointer.path(), "1,1");
    EXPECT_EQ(progress.back(), "stopped before it started");
    // A right button pressed as the play starts, waiting in the device at the first move, ends it before it moves.
    (desk.pointer.trail.clear(), desk.waitingAtOpen = {{platform::MouseButton::Secondary, true}});
    start(walk("1,1,0\r\n"));
    desk.time.run();
    EXPECT_EQ(std::tuple(exitCode, desk.pointer.path(), progress.back()),
        std::tuple(0, QString(), QString("stopped before it started")));
    desk.waitingAtOpen.clear();
    start(walk("1,1,128\r\n") + " --loop"); // another session comes in front: a stop, said
    desk.time.at(desk.time.now + 1, [this] { desk.session.leave(); });
    desk.time.run();
    EXPECT_EQ(std::tuple(exitCode, desk.pointer.down(), desk.messages.errors.value(0)),
        std::tuple(0, false, QString(platform::kSessionLeft)));
    (desk.session.isActive = true, desk.messages.errors.clear());
    start("record " + dir.filePath("none/out.txt") + " --delay 1"); // fails only at its end: said, and over
    desk.time.run();
    EXPECT_TRUE(desk.messages.errors.value(0).contains("none/out.txt")) << desk.messages.errors.value(0);
    EXPECT_EQ(exitCode, 0) << "over; main turns a said error into 1";
}

TEST_F(SessionTest, RecordsUntilStoppedShowingTimeLinesAndPointerTenTimesASecondAndSaysAFailedWrite)
{
    desk.waitingAtOpen = {{platform::MouseButton::Secondary, true}, {platform::MouseButton::Secondary, false},
        {platform::MouseButton::Primary, true}}; // from before the start: no stop, and no frame at 0,0
    desk.pointer.x = 640;
    start("record " + dir.filePath("out.txt"));
    EXPECT_EQ(progress.first(), "0:00.0  0 lines  X:640 Y:0  Click!");
    desk.mouse->click(platform::MouseButton::Primary, {true});
    desk.time.runFor(2.505);
    session->stops().request({stopping::StopReason::Signal, 2});
    EXPECT_EQ(exitCode, 130);
    EXPECT_EQ(progress.back(), "0:02.5  250 lines  X:640 Y:0  Click!");
    EXPECT_LE(progress.size(), 28);
    start("record " + dir.filePath("out.txt")); // opens, and fails at the first line
    const FileSizeLimit fullDisk(0);
    desk.time.runFor(0.01);
    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(desk.messages.errors, QStringList{"Cannot write to " + dir.filePath("out.txt") + ": File too large"});
}

} // namespace
