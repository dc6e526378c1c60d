// The real window on Qt's offscreen platform: controls, places, order, fonts.
#include "app/Form1.h"
#include "app/Form1Window.h"
#include "fakes/Fakes.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace clickpath::app;

namespace {

QRect twips(int left, int top, int width, int height)
{
    return QRect(left / 15, top / 15, width / 15, height / 15);
}

template <typename Widget>
Widget* child(const Form1Window& window, const char* name)
{
    auto* widget = window.findChild<Widget*>(QLatin1String(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
}

TEST(Form1WindowTest, ControlsStandAtTheirPlacesWithTheirCaptions)
{
    Form1Window window;
    EXPECT_EQ(window.size(), QSize(288, 71));
    struct Expected {
        const char* name;
        QString caption;
        QRect place;
    };
    const std::vector<Expected> buttons{{"Command1", "Rec", twips(90, 60, 735, 345)},
        {"Command3", "Auto", twips(840, 60, 735, 345)}, {"Command2", "Save", twips(1920, 60, 735, 345)},
        {"Command4", "Load", twips(2670, 60, 735, 345)}, {"Command5", "SET", twips(2880, 750, 555, 270)}};
    for (const auto& e : buttons) {
        auto* button = child<QPushButton>(window, e.name);
        EXPECT_EQ(button->text(), e.caption);
        EXPECT_EQ(button->geometry(), e.place) << e.name;
        EXPECT_TRUE(button->isEnabled());
    }
    const std::vector<Expected> labels{{"Label13", "HM", twips(990, 510, 315, 180)},
        {"Label12", "VM", twips(1950, 510, 315, 180)}, {"Label6", "", twips(2880, 450, 525, 225)},
        {"Label3", "", twips(3510, 420, 525, 255)}, {"Label7", "回", twips(4050, 450, 225, 255)},
        {"Label14", "1st.", twips(120, 780, 345, 225)}, {"Label8", "Sleep", twips(990, 780, 435, 225)},
        {"Label11", "Click", twips(1950, 780, 375, 225)}, {"Label9", "", twips(3510, 750, 525, 255)},
        {"Label10", "秒", twips(4050, 780, 225, 255)}};
    for (const auto& e : labels) {
        auto* label = child<QLabel>(window, e.name);
        EXPECT_EQ(label->text(), e.caption) << e.name;
        EXPECT_EQ(label->geometry(), e.place) << e.name;
        EXPECT_EQ(label->focusPolicy(), Qt::NoFocus);
    }
    const std::vector<Expected> boxes{{"Text4", "180", twips(1440, 450, 435, 270)},
        {"Text3", "180", twips(2370, 450, 405, 270)}, {"Text5", "180", twips(420, 750, 435, 270)},
        {"Text1", "180", twips(1440, 750, 435, 270)}, {"Text2", "180", twips(2370, 750, 405, 270)}};
    for (const auto& e : boxes) {
        auto* box = child<QLineEdit>(window, e.name);
        EXPECT_EQ(box->text(), e.caption);
        EXPECT_EQ(box->geometry(), e.place) << e.name;
    }
    auto* loop = child<QCheckBox>(window, "Check1");
    EXPECT_EQ(loop->text(), "LOOP");
    EXPECT_TRUE(loop->isChecked());
    EXPECT_EQ(loop->geometry(), twips(120, 510, 735, 180));
}

TEST(Form1WindowTest, TabOrderRunsThroughButtonsLoopAndBoxes)
{
    Form1Window window;
    const QStringList expected{"Command1", "Command3", "Command2", "Command4", "Check1", "Text4", "Text3", "Text5",
        "Text1", "Text2", "Command5", "Command1"};
    QWidget* at = window.command(CommandId::Command1);
    QStringList seen{at->objectName()};
    for (int i = 1; i < expected.size(); ++i) {
        at = at->nextInFocusChain();
        while (at->focusPolicy() == Qt::NoFocus)
            at = at->nextInFocusChain();
        seen << at->objectName();
    }
    EXPECT_EQ(seen, expected);
}

TEST(Form1WindowTest, CountLabelsUseTheJapaneseFontAtElevenPoints)
{
    Form1Window window;
    for (LabelId id : {LabelId::Label3, LabelId::Label9}) {
        const QFont font = window.label(id)->font();
        EXPECT_EQ(font.families().value(0), QStringLiteral("ＭＳ Ｐゴシック"));
        EXPECT_DOUBLE_EQ(font.pointSizeF(), 11.25);
        EXPECT_FALSE(font.italic() || font.underline() || font.strikeOut());
        // Whatever font fontconfig picks must draw the unit captions.
        EXPECT_TRUE(QFontMetrics(font).inFont(QChar(0x79D2)));
    }
}

TEST(Form1WindowTest, HighlightIsBlueAndTimersTickEveryTenMilliseconds)
{
    Form1Window window;
    window.setLabelColour(LabelId::Label8, kHighlightColour);
    EXPECT_EQ(window.label(LabelId::Label8)->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    window.setLabelColour(LabelId::Label8, kBlack);
    EXPECT_EQ(window.label(LabelId::Label8)->palette().color(QPalette::WindowText), QColor(0, 0, 0));

    window.setTimerEnabled(TimerId::Timer2, true);
    EXPECT_TRUE(window.timer(TimerId::Timer2)->isActive());
    EXPECT_EQ(window.timer(TimerId::Timer2)->interval(), 10);
    window.setTimerEnabled(TimerId::Timer2, false);
    EXPECT_FALSE(window.timer(TimerId::Timer2)->isActive());
}

// The real window driven by the handlers, on a fake desktop.
class WindowTool {
public:
    WindowTool()
        : form(window,
            Services{pointer, pointer, clock, random, pump, messages, files, dialog, copier,
                [] { return std::make_unique<clickpath::fakes::FakeMouseSource>(); }},
            AppPaths(dir.path(), "clickpath"))
    {
        window.connectHandlers(form);
        form.Form_Load();
        window.show();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    QString settingsFile() const { return dir.filePath("clickpath.ini"); }

    QTemporaryDir dir;
    Form1Window window;
    clickpath::fakes::FakePointer pointer;
    clickpath::fakes::FakeClock clock;
    clickpath::fakes::ScriptedRandom random;
    clickpath::fakes::FakeEventPump pump{clock};
    clickpath::fakes::FakeMessageSink messages;
    clickpath::fakes::FakeFileDialog dialog;
    clickpath::platform::AtomicFileCopier copier;
    clickpath::platform::FileTable files;
    Form1 form;
};

TEST(Form1ValidationTest, TabOutOfAnEmptyBoxTurnsItIntoZeroAndKeepsTheFocus)
{
    WindowTool tool;
    QLineEdit* hm = tool.window.textBox(TextBoxId::Text4);
    EXPECT_EQ(hm->text(), ""); // no settings file
    hm->setFocus();
    QTest::keyClick(hm, Qt::Key_Tab);
    EXPECT_EQ(hm->text(), "0");
    EXPECT_EQ(QApplication::focusWidget(), hm);
    QTest::keyClick(hm, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), tool.window.textBox(TextBoxId::Text3));
    QTest::keyClick(tool.window.textBox(TextBoxId::Text3), Qt::Key_Backtab);
    EXPECT_EQ(QApplication::focusWidget(), tool.window.textBox(TextBoxId::Text3)); // it was empty too
}

TEST(Form1ValidationTest, ClickingSetWhileTheFocusedBoxHoldsLettersWritesNothingUntilTheSecondClick)
{
    WindowTool tool;
    for (auto id : {TextBoxId::Text1, TextBoxId::Text2, TextBoxId::Text3, TextBoxId::Text4, TextBoxId::Text5})
        tool.window.setText(id, "5");
    QLineEdit* sleep = tool.window.textBox(TextBoxId::Text1);
    sleep->setFocus();
    sleep->setText("abc");
    QPushButton* set = tool.window.command(CommandId::Command5);
    QTest::mouseClick(set, Qt::LeftButton);
    EXPECT_EQ(sleep->text(), "0");
    EXPECT_EQ(QApplication::focusWidget(), sleep);
    EXPECT_FALSE(QFile::exists(tool.settingsFile()));

    QTest::mouseClick(set, Qt::LeftButton);
    EXPECT_EQ(clickpath::fakes::readFile(tool.settingsFile()),
        "[STATUS]\r\nSLEEP_TIME=0\r\nWAIT_CLICK_TIME=5\r\nVERTICAL_MARGIN=5\r\nHORIZON_MARGIN=5\r\n"
        "WAIT_FIRST_TIME=5\r\n");
}

TEST(Form1ValidationTest, ClickingLoopOrAnotherBoxAlsoValidates)
{
    WindowTool tool;
    QLineEdit* click = tool.window.textBox(TextBoxId::Text2);
    click->setFocus();
    click->setText("x1");
    QTest::mouseClick(tool.window.check1(), Qt::LeftButton);
    EXPECT_TRUE(tool.window.check1()->isChecked()); // the click did not act
    EXPECT_EQ(click->text(), "0");
    click->setText("1,5");
    QTest::mouseClick(tool.window.textBox(TextBoxId::Text5), Qt::LeftButton);
    EXPECT_EQ(QApplication::focusWidget(), click);
    QTest::mouseClick(tool.window.textBox(TextBoxId::Text5), Qt::LeftButton);
    EXPECT_EQ(QApplication::focusWidget(), tool.window.textBox(TextBoxId::Text5));
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
