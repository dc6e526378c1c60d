// The recorder on the fake desktop and the fake clock.
#include "fakes/FakeDesktop.h"
#include "recording/Recorder.h"

#include <QDir>
#include <QRegularExpression>

#include <gtest/gtest.h>

using namespace clickpath;
using namespace clickpath::fakes;

namespace {

// What the recorder reports, as words: "start", "1: 640,480" (a line and the pointer), "end".
struct Log final : recording::RecordingObserver {
    void recordingStarted() override { events << "start"; }
    void lineRecorded(std::int64_t lines, std::int32_t x, std::int32_t y) override
    {
        events << QStringLiteral("%1: %2,%3").arg(lines).arg(x).arg(y);
    }
    void recordingEnded() override { events << "end"; }
    QStringList events;
};

struct RecordingTest : ::testing::Test {
    void tick() { desk.time.runNext(); }
    void stop() { (recorder.stop(), desk.time.runFor(0.01)); } // a tick already due when the stop came writes nothing
    QString recorded() const { return QString::fromStdString(readFile(path)); }

    QTemporaryDir dir;
    QString path = dir.filePath("r.txt");
    FakeDesktop desk;
    Log log;
    std::unique_ptr<FakeTicker> ticker = desk.time.ticker();
    recording::Recorder recorder{desk.services(), *ticker, log, path};
};

TEST_F(RecordingTest, EachTickAppendsThePointerAndTheButtonUntilStoppedKeepingTheLastPositionThePointerTold)
{
    ticker->onTick([this] { recorder.tick(); });
    writeFile(path, "old recording\r\n");
    recorder.start();
    EXPECT_EQ(recorded(), "");
    for (const auto& [x, y] : {std::pair{640, 480}, {-1200, 35}})
        (desk.pointer.x = x, desk.pointer.y = y, tick());
    EXPECT_EQ(recorded(), "640,480,0\r\n-1200,35,0\r\n"); // on disk at each tick
    desk.pointer.lost = true;                             // the line repeats the last position
    tick();
    stop();
    EXPECT_EQ(recorded(), "640,480,0\r\n-1200,35,0\r\n-1200,35,0\r\n");
    EXPECT_EQ(log.events.join(' '), "start 1: 640,480 2: -1200,35 3: -1200,35 end");
    EXPECT_FALSE(ticker->active());
}

TEST_F(RecordingTest, EveryPressOfTheLeftButtonShowsAsARunOf128)
{
    ticker->onTick([this] { recorder.tick(); });
    const std::pair<std::vector<std::vector<bool>>, const char*> cases[] = {
        {{{}, {true}, {}, {}, {false}, {}}, "0 128 128 128 0 0"},        // held over three ticks
        {{{}, {true, false}, {}}, "0 128 0"},                            // a tap between two ticks
        {{{}, {true, false, true, false}, {}, {}, {}}, "0 128 0 128 0"}, // a double-click between two
        {{{true}, {}, {false, true}, {}, {false}}, "128 128 0 128 0"},   // a release and a press between two
        {{{false}, {}}, "0 0"},                                          // the release of a press before "Rec"
        {{}, ""},                                                        // stopped before the first tick
    };
    for (const auto& [edgesBeforeTicks, values] : cases) {
        recorder.start();
        for (const auto& edges : edgesBeforeTicks) {
            for (bool pressed : edges)
                recorder.leftButton(pressed);
            tick();
        }
        stop();
        QString lines = recorded();
        lines.replace(QRegularExpression("-?\\d+,-?\\d+,"), "").replace("\r\n", " "); // the button values alone
        EXPECT_EQ(lines.trimmed(), values) << values;
    }
}

TEST_F(RecordingTest, AStallIsMadeUpWithLinesOfItsEndUpToFiveSecondsOfThem)
{
    ticker->onTick([this] { recorder.tick(); });
    // 1 s of recording, a stall of the thread in which the left button clicks and the pointer moves, 1 s more.
    for (const auto& [stall, lines] : {std::pair{1.5, 350}, {0.03, 203}, {7.0, 700}}) {
        (desk.pointer.x = 0, recorder.start());
        desk.time.runFor(1);
        desk.time.now += stall;
        (recorder.leftButton(true), recorder.leftButton(false), desk.pointer.x = 9);
        desk.time.runFor(1);
        stop();
        const QStringList written = recorded().split("\r\n", Qt::SkipEmptyParts);
        EXPECT_NEAR(written.size(), lines, 1) << stall;
        EXPECT_EQ(written.mid(99, 3).join(' '), "0,0,0 9,0,128 9,0,0") << stall;
    }
}

TEST_F(RecordingTest, ItBeginsAtTheDesktopsFirstPositionAndEndsSayingWhyWhenThePositionsStop)
{
    ticker->onTick([this] { recorder.tick(); });
    writeFile(path, "kept\r\n");
    desk.pointer.lost = true; // the first position comes half a second after the start
    recorder.start();
    desk.time.at(desk.time.now + 0.5, [this] { (desk.pointer.lost = false, desk.pointer.x = 5); });
    desk.time.runFor(0.49);
    EXPECT_EQ(recorded(), "kept\r\n");
    desk.time.runFor(0.51);
    EXPECT_NEAR(recorded().count("5,0,0\r\n"), 50, 1);
    EXPECT_EQ(recorded().count("\r\n"), recorded().count("5,0,0\r\n"));
    desk.pointer.gone = "KWin left the session bus"; // the recording ends, saying why, every line kept
    const QString kept = recorded();
    EXPECT_EQ(errorOf<ToolError>([&] { desk.time.runFor(0.01); }), desk.pointer.gone);
    EXPECT_FALSE(recorder.recording());
    EXPECT_EQ(recorded(), kept);
    (desk.pointer.gone.clear(), desk.pointer.lost = true, writeFile(path, "kept\r\n"));
    recorder.start(); // no first position at all: nothing is recorded
    EXPECT_NE(errorOf<ToolError>([&] { desk.time.runFor(6); }).find("no position"), std::string::npos);
    EXPECT_EQ(recorded(), "kept\r\n");
    EXPECT_FALSE(ticker->active());
}

TEST(LeftButtonLatchTest, KeepsNoEdgeWhileNoRecordingRuns)
{
    recording::LeftButtonLatch latch;
    for (const char* when : {"before the first recording", "after one"}) {
        for (int click = 0; click < 100000; ++click)
            latch.pressed(), latch.released();
        EXPECT_EQ(latch.owedLines(), 0u) << when;
        (latch.start(), latch.pressed());
        EXPECT_EQ(latch.owedLines(), 1u) << when;
        latch.stop();
    }
}

TEST_F(RecordingTest, AFileOrADesktopThatFailsEndsOrRefusesTheRecordingSaysWhyAndKeepsEveryLine)
{
    ticker->onTick([this] { recorder.tick(); });
    QDir(dir.path()).mkdir("r.txt"); // a folder where the file should be
    EXPECT_NE(
        errorOf<ToolError>([&] { recorder.start(); }).find("r.txt for writing: Is a directory"), std::string::npos);
    EXPECT_FALSE(recorder.recording());
    EXPECT_FALSE(ticker->active());
    QDir(dir.path()).rmdir("r.txt");
    recorder.start();
    tick();
    const std::string said = errorOf<ToolError>([&] { (FileSizeLimit(10), tick()); }); // the second line, in part
    EXPECT_NE(said.find("r.txt: File too large"), std::string::npos) << said;
    EXPECT_FALSE(recorder.recording());
    EXPECT_FALSE(ticker->active());
    EXPECT_EQ(recorded(), "0,0,0\r\n");
    EXPECT_EQ(log.events.join(' '), "start end start 1: 0,0 end");
    desk.pointer.positionUnknown = "sway tells no program where the pointer is";
    EXPECT_EQ(errorOf<ToolError>([&] { recorder.start(); }), desk.pointer.positionUnknown);
    EXPECT_EQ(recorded(), "0,0,0\r\n"); // untouched, and nothing started
    EXPECT_EQ(log.events.size(), 5);
}

} // namespace
