// The real window on Qt's offscreen platform, driven by its handlers on the
// fake desktop.
#include "app/Form1Window.h"
#include "fakes/FakeDesktop.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace clickpath;
using namespace clickpath::fakes;

namespace {

class WindowTest : public ::testing::Test {
protected:
    WindowTest()
    {
        window.connectHandlers(form);
        form.Form_Load();
        window.show();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    QWidget* control(const char* name) { return window.findChild<QWidget*>(name); }
    QLineEdit* box(SettingBox id) { return window.box(id); }

    QTemporaryDir dir;
    FakeDesktop desk;
    FakeFileDialog dialog;
    app::Form1Window window{"clickpath"};
    app::Form1 form{window, desk.services(), dialog, core::AppPaths(dir.path(), "clickpath")};
};

TEST_F(WindowTest, ControlsStayInsideTheWindowApartFromEachOtherInTheirTabOrder)
{
    EXPECT_EQ(window.size(), QSize(288, 71));
    const QList<QWidget*> controls = window.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    EXPECT_EQ(controls.size(), 21);
    // A label counts by where its text starts: "1st." stands in a box that
    // runs on under its text box.
    const auto drawn
        = [](QWidget* w) { return qobject_cast<QLabel*>(w) ? QRect(w->pos(), QSize(1, w->height())) : w->geometry(); };
    for (QWidget* a : controls) {
        EXPECT_TRUE(window.rect().contains(a->geometry())) << a->objectName().toStdString();
        for (QWidget* b : controls)
            EXPECT_TRUE(a == b || !drawn(a).intersects(drawn(b)))
                << a->objectName().toStdString() << " overlaps " << b->objectName().toStdString();
    }
    const QStringList expected{"Command1", "Command3", "Command2", "Command4", "Check1", "Text4", "Text3", "Text5",
        "Text1", "Text2", "Command5", "Command1"};
    QStringList seen;
    for (QWidget* at = control("Command1"); seen.size() < expected.size(); at = at->nextInFocusChain())
        if (at->focusPolicy() != Qt::NoFocus)
            seen << at->objectName();
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(window.windowTitle(), "clickpath");
    window.showPointerPosition(-1200, 35);
    EXPECT_EQ(window.windowTitle(), "clickpath X:-1200 Y:35");
    app::Form1Window percent("tool%1");
    percent.showPointerPosition(5, 6);
    EXPECT_EQ(percent.windowTitle(), "tool%1 X:5 Y:6");
}

TEST_F(WindowTest, TheHandlersReachTheirWidgets)
{
    window.setLabelText(core::Label::Countdown, "7");
    EXPECT_EQ(static_cast<QLabel*>(control("Label9"))->text(), "7");
    // A wait's caption is blue while it runs, then back in the theme's text
    // colour, on a dark theme too.
    const QPalette light = QApplication::palette();
    QPalette dark = light;
    dark.setColor(QPalette::Window, QColor(40, 40, 40));
    dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
    QApplication::setPalette(dark);
    QApplication::processEvents(); // the palette reaches the window
    window.setLabelColour(core::Label::SleepCaption, core::TextColour::Highlight);
    EXPECT_EQ(control("Label8")->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    window.setLabelColour(core::Label::SleepCaption, core::TextColour::Normal);
    EXPECT_EQ(control("Label8")->palette().color(QPalette::WindowText), QColor(230, 230, 230));
    QApplication::setPalette(light);
    window.setCommandButtonsEnabled(false);
    for (const char* name : {"Command1", "Command2", "Command3", "Command4", "Command5"})
        EXPECT_FALSE(control(name)->isEnabled()) << name;
    window.setTickRunning(Tick::Playback, true);
    EXPECT_TRUE(window.tick(Tick::Playback).isActive());
    EXPECT_FALSE(window.tick(Tick::Recording).isActive());
    EXPECT_EQ(window.tick(Tick::Playback).interval(), 10);
    window.setTickRunning(Tick::Playback, false);
    EXPECT_FALSE(window.tick(Tick::Playback).isActive());
}

TEST_F(WindowTest, LeavingABoxThatHoldsNoNumberTurnsItIntoZeroAndKeepsTheFocus)
{
    QLineEdit* hm = box(SettingBox::HorizontalMargin);
    EXPECT_EQ(hm->objectName(), "Text4");
    EXPECT_EQ(hm->text(), ""); // no settings file
    hm->setFocus();
    QTest::keyClick(hm, Qt::Key_Tab);
    EXPECT_EQ(hm->text(), "0");
    EXPECT_EQ(QApplication::focusWidget(), hm);
    QTest::keyClick(hm, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), control("Text3"));

    // A click on "LOOP" or on "SET" validates too, and does not act.
    QLineEdit* click = box(SettingBox::ClickWaitBound);
    click->setFocus();
    click->setText("x1");
    QTest::mouseClick(window.loopBox(), Qt::LeftButton);
    EXPECT_TRUE(window.loopBox()->isChecked());
    EXPECT_EQ(click->text(), "0");
    for (SettingBox id :
        {SettingBox::SleepBound, SettingBox::VerticalMargin, SettingBox::HorizontalMargin, SettingBox::FirstPassWait})
        box(id)->setText("5");
    click->setText("abc");
    QTest::mouseClick(control("Command5"), Qt::LeftButton);
    EXPECT_EQ(QApplication::focusWidget(), click);
    EXPECT_FALSE(QFile::exists(dir.filePath("clickpath.ini")));
    QTest::mouseClick(control("Command5"), Qt::LeftButton);
    EXPECT_EQ(readFile(dir.filePath("clickpath.ini")),
        "[STATUS]\r\nSLEEP_TIME=5\r\nWAIT_CLICK_TIME=0\r\n"
        "VERTICAL_MARGIN=5\r\nHORIZON_MARGIN=5\r\nWAIT_FIRST_TIME=5\r\n");
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
