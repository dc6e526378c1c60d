// Stops and closes in every state of a pass, and a crash while recording, on
// a private Xvfb: no button stays down and no recorded line is lost.
#include "platform/FileTable.h"
#include "platform/ToolError.h"
#include "platform/x11/RealTool.h"
#include "platform/x11/XObserver.h"
#include "recording/RecordingFormat.h"

#include <QCheckBox>
#include <QProcess>

#include <gtest/gtest.h>

#include <csignal>

using namespace clickpath;
using namespace clickpath::fakes;
using app::TextBoxId;
using app::TimerId;

namespace {

struct PassState {
    const char* name;
    std::string recording;
    // Sleep, Click, VM, HM, 1st.
    const char* boxes[5];
    // True when, 300 ms into the pass, the pass is in this state.
    bool (*reached)(const app::ToolState&, bool timer2Active);
};

std::string repeated(const std::string& line, int times)
{
    std::string bytes;
    for (int i = 0; i < times; ++i)
        bytes += line;
    return bytes;
}

std::string drag()
{
    std::string bytes = "400,400,0\r\n";
    for (int i = 0; i < 300; ++i)
        bytes += std::to_string(400 + i) + ",400,128\r\n";
    return bytes + "800,400,0\r\n";
}

bool pressHeld(const app::ToolState& state, bool) { return state.pressSent == 1; }
bool insideAStep(const app::ToolState& state, bool timer2) { return state.stepRunning && timer2; }
bool sleepingBetweenPasses(const app::ToolState& state, bool timer2) { return state.stepRunning && !timer2; }

const PassState kStates[] = {
    {"press", repeated("500,500,128\r\n", 60) + "600,600,0\r\n", {"0", "0", "0", "0", "0"}, pressHeld},
    {"drag", drag(), {"0", "0", "0", "0", "0"}, pressHeld},
    {"first-pass wait", "500,500,128\r\n500,500,0\r\n600,600,0\r\n", {"0", "0", "0", "0", "100"}, insideAStep},
    {"click wait", "500,500,128\r\n500,500,0\r\n600,600,0\r\n", {"0", "30000", "0", "0", "0"}, insideAStep},
    {"loop sleep", "500,500,128\r\n510,510,128\r\n", {"30000", "0", "0", "0", "0"}, sleepingBetweenPasses},
};

class NoStuckButtonTest : public ::testing::TestWithParam<std::tuple<int, bool>> {};

TEST_P(NoStuckButtonTest, StoppingOrClosingLeavesNoButtonDownAndTheRecordingIntact)
{
    const PassState& state = kStates[std::get<0>(GetParam())];
    const bool close = std::get<1>(GetParam());
    QTemporaryDir dir;
    XObserver user;
    RealTool tool(dir.path());
    const TextBoxId boxes[] = {TextBoxId::Text1, TextBoxId::Text2, TextBoxId::Text3, TextBoxId::Text4, TextBoxId::Text5};
    for (int i = 0; i < 5; ++i)
        tool.window.setText(boxes[i], state.boxes[i]);
    const QString recording = dir.filePath("clickpath.txt");
    writeFile(recording, state.recording);
    tool.window.show();

    // A wait runs inside the tool's event handling: act from a timer, as
    // the user's click or the window manager's close would arrive.
    bool reached = false;
    bool acted = false;
    QTimer::singleShot(300, &tool.window, [&] {
        reached = state.reached(tool.form.tool().state, tool.window.timer(TimerId::Timer2)->isActive());
        if (close)
            tool.window.close();
        else
            user.click(3);
        acted = true;
    });
    tool.form.Command3_Click();
    RealTool::pumpUntil([&] { return acted && !tool.window.timer(TimerId::Timer2)->isActive()
                                  && !tool.form.tool().state.stepRunning; }, 5000);
    RealTool::runFor(100);
    EXPECT_TRUE(reached) << state.name;
    EXPECT_FALSE(tool.window.timer(TimerId::Timer2)->isActive()) << state.name;
    EXPECT_EQ(user.buttonsDown(), 0u) << state.name << (close ? " (closed)" : " (stopped)");
    EXPECT_EQ(readFile(recording), state.recording) << state.name;
    EXPECT_TRUE(tool.messages.errors.isEmpty()) << tool.messages.errors.join("; ").toStdString();
}

INSTANTIATE_TEST_SUITE_P(EveryState, NoStuckButtonTest,
    ::testing::Combine(::testing::Range(0, 5), ::testing::Bool()),
    [](const auto& info) {
        std::string name = std::string(kStates[std::get<0>(info.param)].name) + (std::get<1>(info.param) ? "_close" : "_stop");
        for (char& c : name)
            if (!std::isalnum(static_cast<unsigned char>(c)))
                c = '_';
        return name;
    });

TEST(CrashSafetyTest, KillDuringRecordingKeepsEveryCompletedLineReadable)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QFile::copy(CLICKPATH_EXECUTABLE, dir.filePath("clickpath")));
    XObserver user(false);
    QProcess process;
    process.start(dir.filePath("clickpath"), {});
    ASSERT_TRUE(process.waitForStarted());
    std::optional<std::pair<int, int>> origin;
    ASSERT_TRUE(RealTool::pumpUntil([&] { return (origin = user.windowOrigin("clickpath")).has_value(); }, 10000));
    user.moveTo(origin->first + 30, origin->second + 15); // "Rec"
    user.click(1);
    const QString recording = dir.filePath("clickpath.txt");
    ASSERT_TRUE(RealTool::pumpUntil([&] { return readFile(recording).size() > 300; }, 5000));
    for (int i = 0; i < 20; ++i) {
        user.moveTo(400 + i * 7, 300 + i * 3);
        RealTool::runFor(7); // kill lands at any point of a tick
    }
    ::kill(static_cast<pid_t>(process.processId()), SIGKILL);
    process.waitForFinished(5000);

    const std::string bytes = readFile(recording);
    ASSERT_FALSE(bytes.empty());
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n"); // the last line is whole
    platform::FileTable files;
    files.openForInput(1, recording.toStdString());
    std::size_t records = 0;
    try {
        for (;;) {
            recording::readRecord(files, 1);
            ++records;
        }
    } catch (const EndOfFileError&) {
    }
    EXPECT_EQ(records, static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n')));
}

} // namespace
