// The real window on Qt's offscreen platform, driven by its handlers on the fake desktop, and Qt's file dialog.
#include "app/Form1Window.h"
#include "app/Form1Harness.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

using namespace clickpath;
using namespace clickpath::fakes;

namespace {

struct WindowTest : ::testing::Test {
    WindowTest()
    {
        window.connectHandlers(form);
        form.Form_Load();
        (window.show(), window.activateWindow());
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    QWidget* control(const char* name) { return window.findChild<QWidget*>(name); }

    Harness h{false}; // for its folder and dialog
    FakeDesktop desk;
    app::Form1Window window{"tool%1"};
    app::Form1 form{window, desk.services(), h.dialog, core::AppPaths(h.path(""), "clickpath")};
};

TEST_F(WindowTest, ControlsStayInsideTheWindowApartShowWhatTheyAreGivenAndClosingLetsGoOfAReplayedPress)
{
    const QList<QWidget*> controls = window.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    EXPECT_EQ(controls.size(), 21);
    // A label counts by where its text starts: "1st." stands in a box that runs on under its text box.
    const auto drawn
        = [](QWidget* w) { return qobject_cast<QLabel*>(w) ? QRect(w->pos(), QSize(1, 1)) : w->geometry(); };
    for (QWidget* a : controls) {
        EXPECT_TRUE(window.rect().contains(a->geometry())) << a->objectName();
        for (QWidget* b : controls)
            EXPECT_TRUE(a == b || !drawn(a).intersects(drawn(b))) << a->objectName() << " " << b->objectName();
    }
    window.showPointerPosition(-1200, 35);
    EXPECT_EQ(window.windowTitle(), "tool%1 X:-1200 Y:35"); // a %1 in the name stays
    window.setLabelText(Label::Countdown, "7");
    EXPECT_EQ(static_cast<QLabel*>(control("Label9"))->text(), "7");
    writeFile(h.path("clickpath.txt"), "1,1,128\r\n2,2,128\r\n");
    window.box(SettingBox::VerticalMargin)->setText("0");
    window.box(SettingBox::HorizontalMargin)->setText("0");
    form.Command3_Click();
    form.Timer2_Timer();
    window.close();
    EXPECT_EQ(desk.pointer.path(), "1,1 P R");
    EXPECT_FALSE(window.timer(Tick::Playback).active());
}

TEST_F(WindowTest, OnlyATabThatMovesTheFocusValidatesTheBox)
{
    QLineEdit* sleep = window.box(SettingBox::SleepBound);
    for (const auto& [modifiers, left] : {std::pair{Qt::ControlModifier, "x"}, {Qt::NoModifier, "0"}}) {
        sleep->setFocus();
        sleep->setText("x");
        QTest::keyClick(sleep, Qt::Key_Tab, modifiers);
        EXPECT_EQ(sleep->text(), left) << modifiers;
    }
}

} // namespace

int main(int argc, char** argv)
{
    // No desktop is touched: Qt draws into memory.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
