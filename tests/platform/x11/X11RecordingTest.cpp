// Recording end to end on a private Xvfb: a user's moves and clicks, injected
// from another client, reach the file; the right button stops everything.
#include "platform/x11/RealTool.h"
#include "platform/ToolError.h"
#include "platform/x11/XObserver.h"

#include <QCheckBox>
#include <QPushButton>

#include <gtest/gtest.h>

using namespace clickpath;
using namespace clickpath::fakes;
using app::TimerId;

namespace {

std::vector<std::string> linesOf(const std::string& bytes, bool* allCrLf)
{
    std::vector<std::string> lines;
    *allCrLf = true;
    std::size_t at = 0;
    while (at < bytes.size()) {
        const std::size_t end = bytes.find('\n', at);
        if (end == std::string::npos) {
            *allCrLf = false;
            lines.push_back(bytes.substr(at));
            break;
        }
        *allCrLf = *allCrLf && end > at && bytes[end - 1] == '\r';
        lines.push_back(bytes.substr(at, end - at - 1));
        at = end + 1;
    }
    return lines;
}

// Consecutive equal lines folded into one.
std::vector<std::string> runs(const std::vector<std::string>& lines)
{
    std::vector<std::string> out;
    for (const auto& line : lines)
        if (out.empty() || out.back() != line)
            out.push_back(line);
    return out;
}

TEST(X11RecordingTest, RecordsMovesAndADragThenTheRightButtonStopsAndReplayWorks)
{
    QTemporaryDir dir;
    XObserver user;
    user.moveTo(100, 100);
    RealTool tool(dir.path());
    tool.window.show();

    tool.form.Command1_Click();
    ASSERT_TRUE(tool.window.timer(TimerId::Timer1)->isActive());
    RealTool::runFor(100);
    user.moveTo(200, 200);
    RealTool::runFor(100);
    user.button(1, true);
    RealTool::runFor(100);
    user.moveTo(250, 260);
    RealTool::runFor(100);
    user.button(1, false);
    RealTool::runFor(100);
    user.button(3, true);
    ASSERT_TRUE(tool.runWhile(TimerId::Timer1, 2000));
    user.button(3, false);
    RealTool::runFor(50);

    bool crLf = false;
    const auto lines = linesOf(readFile(dir.filePath("clickpath.txt")), &crLf);
    EXPECT_TRUE(crLf);
    EXPECT_GT(lines.size(), 30u);
    const std::vector<std::string> expected{"100,100,0", "200,200,0", "200,200,128", "250,260,128", "250,260,0"};
    EXPECT_EQ(runs(lines), expected);
    EXPECT_TRUE(tool.window.command(app::CommandId::Command1)->isEnabled());
    EXPECT_TRUE(tool.window.command(app::CommandId::Command5)->isEnabled());
    EXPECT_TRUE(tool.messages.errors.isEmpty());

    // Replay what was recorded; a right click in the middle ends it.
    for (auto box : {app::TextBoxId::Text2, app::TextBoxId::Text3, app::TextBoxId::Text4, app::TextBoxId::Text5})
        tool.window.setText(box, "0");
    tool.window.check1()->setChecked(true);
    user.moveTo(10, 10);
    user.take();
    tool.form.Command3_Click();
    ASSERT_TRUE(RealTool::pumpUntil([&] { return tool.form.tool().state.pressSent == 1; }, 5000));
    user.button(3, true);
    user.button(3, false);
    ASSERT_TRUE(tool.runWhile(TimerId::Timer2, 2000));
    EXPECT_EQ(user.buttonsDown(), 0u);
    EXPECT_TRUE(tool.window.command(app::CommandId::Command3)->isEnabled());
    EXPECT_EQ(tool.form.tool().state.passCount, 0);
}

TEST(X11RecordingTest, ClicksFasterThanTheWatcherReadsAreAllSeen)
{
    QTemporaryDir dir;
    XObserver user;
    FakeControls controls;
    platform::x11::X11Pointer pointer;
    FakeClock clock;
    ScriptedRandom random;
    FakeEventPump pump(clock);
    FakeMessageSink messages;
    FakeFileDialog dialog;
    platform::AtomicFileCopier copier;
    platform::FileTable files;
    app::Form1 form(controls,
        app::Services{pointer, pointer, clock, random, pump, messages, files, dialog, copier,
            [] { return std::make_unique<platform::x11::X11ButtonSource>(); }},
        app::AppPaths(dir.path(), "clickpath"));
    form.Form_Load();

    // 30 clicks make 60 items, six times what one notification reads.
    for (int i = 0; i < 30; ++i) {
        user.button(1, true);
        user.button(1, false);
    }
    const auto shown = [&] {
        return std::count(controls.captionLog.begin(), controls.captionLog.end(),
            std::make_pair(app::LabelId::Label6, QStringLiteral("Click!")));
    };
    EXPECT_TRUE(RealTool::pumpUntil([&] { return shown() == 30; }, 5000)) << shown();
    EXPECT_EQ(form.tool().state.leftButton, 0);
}

TEST(X11RecordingTest, ADisplayWithoutXTestIsRefusedByName)
{
    // Run by its own test entry, on a private Xvfb started without XTEST.
    if (!qEnvironmentVariableIsSet("CLICKPATH_DISPLAY_WITHOUT_XTEST"))
        GTEST_SKIP() << "needs a display without XTEST";
    try {
        platform::x11::X11Pointer pointer;
        FAIL() << "started without XTEST";
    } catch (const ToolError& error) {
        EXPECT_NE(std::string(error.what()).find("XTEST"), std::string::npos) << error.what();
    }
}

} // namespace
