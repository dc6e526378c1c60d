// The tool's real X11 layer on a private Xvfb: what "Auto" does to the desktop.
#include "platform/ToolError.h"
#include "platform/x11/RealTool.h"
#include "platform/x11/XObserver.h"

#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <X11/extensions/XTest.h>

using namespace clickpath;
using namespace clickpath::fakes;
using app::TextBoxId;
using app::TimerId;

namespace {

// The server may or may not report a move onto the spot where the pointer
// already is; only moves that change the position count here.
std::vector<InputEvent> withoutRepeatedMoves(const std::vector<InputEvent>& events)
{
    std::vector<InputEvent> out;
    for (const InputEvent& e : events) {
        const bool stayed = !out.empty() && e.kind == InputEvent::Move && e.x == out.back().x && e.y == out.back().y;
        if (!stayed)
            out.push_back(e);
    }
    return out;
}

TEST(X11PlaybackTest, AutoMovesThroughEveryPositionAndClicksOnTheRecordedPixel)
{
    QTemporaryDir dir;
    XObserver observer;
    observer.moveTo(5, 5);
    observer.take();

    RealTool tool(dir.path());
    for (TextBoxId box : {TextBoxId::Text1, TextBoxId::Text2, TextBoxId::Text3, TextBoxId::Text4, TextBoxId::Text5})
        tool.window.setText(box, "0");
    tool.window.check1()->setChecked(false);
    writeFile(dir.filePath("clickpath.txt"),
        "400,300,0\r\n410,305,0\r\n420,310,128\r\n430,315,128\r\n440,320,0\r\n450,325,0\r\n"
        "700,600,128\r\n700,600,0\r\n1279,1023,0\r\n");

    tool.form.Command3_Click();
    ASSERT_TRUE(tool.messages.errors.isEmpty()) << tool.messages.errors.join("; ").toStdString();
    ASSERT_TRUE(tool.runWhile(TimerId::Timer2, 20000));

    const std::vector<InputEvent> expected{{InputEvent::Move, 400, 300}, {InputEvent::Move, 410, 305},
        {InputEvent::Move, 420, 310}, {InputEvent::Press, 420, 310}, {InputEvent::Move, 430, 315},
        {InputEvent::Move, 440, 320}, {InputEvent::Release, 440, 320}, {InputEvent::Move, 450, 325},
        {InputEvent::Move, 700, 600}, {InputEvent::Press, 700, 600}, {InputEvent::Release, 700, 600},
        {InputEvent::Move, 1279, 1023}};
    EXPECT_EQ(withoutRepeatedMoves(observer.take()), expected);
    EXPECT_EQ(observer.buttonsDown(), 0u);
    EXPECT_TRUE(tool.window.command(app::CommandId::Command1)->isEnabled());
    EXPECT_EQ(tool.window.windowTitle(), "clickpath X:1279 Y:1023");
}

TEST(X11PlaybackTest, PositionsOutsideTheScreenAreClampedNotWrapped)
{
    QTemporaryDir dir;
    XObserver observer;
    RealTool tool(dir.path());
    tool.pointer.moveTo(100000, -70000);
    const auto at = tool.pointer.position();
    ASSERT_TRUE(at.has_value());
    EXPECT_EQ(at->x, 1279);
    EXPECT_EQ(at->y, 0);
}

TEST(X11PlaybackTest, ClosingTheWindowDuringADragLeavesNoButtonDown)
{
    QTemporaryDir dir;
    XObserver observer;
    RealTool tool(dir.path());
    tool.window.setText(TextBoxId::Text3, "0");
    tool.window.setText(TextBoxId::Text4, "0");
    std::string drag;
    for (int i = 0; i < 500; ++i)
        drag += std::to_string(300 + i) + ",400,128\r\n";
    writeFile(dir.filePath("clickpath.txt"), drag);
    tool.window.show();
    tool.form.Command3_Click();
    QTimer::singleShot(200, &tool.window, [&] { tool.window.close(); });
    tool.runWhile(TimerId::Timer2, 5000);
    EXPECT_FALSE(tool.window.timer(TimerId::Timer2)->isActive());
    EXPECT_EQ(observer.buttonsDown(), 0u);
}

} // namespace


namespace {

TEST(X11ErrorTrapTest, AnXErrorBecomesAToolErrorInsteadOfEndingTheProcess)
{
    auto display = platform::x11::openDisplay();
    XTestFakeButtonEvent(display.get(), 0, True, 0); // there is no button 0
    try {
        platform::x11::syncAndCheck(display.get(), "Left press");
        FAIL() << "the X error went unnoticed";
    } catch (const ToolError& error) {
        EXPECT_NE(std::string(error.what()).find("Left press failed"), std::string::npos) << error.what();
    }
    EXPECT_NO_THROW(platform::x11::syncAndCheck(display.get(), "Nothing")); // the trap is reset
}

} // namespace
