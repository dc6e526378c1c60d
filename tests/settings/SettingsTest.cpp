// Loading, validating and storing the five boxes against a real settings file.
#include "fakes/FakeDesktop.h"

#include <QDir>
#include <QLocale>

#include <gtest/gtest.h>

using namespace clickpath;
using namespace clickpath::fakes;

namespace {

class SettingsTest : public ::testing::Test {
protected:
    // Starts with this settings file.
    void start(const std::string& ini)
    {
        writeFile(h.path("clickpath.ini"), ini);
        h.form.Form_Load();
    }
    std::string settingsFile() const { return readFile(h.path("clickpath.ini")); }
    QString& box(SettingBox box) { return h.controls.boxes[box]; }

    Harness h{false};
};

TEST_F(SettingsTest, LoadsPresentKeysAsTheyStandAndLeavesTheOthersEmpty)
{
    start("[STATUS]\r\nSLEEP_TIME=30\r\nHORIZON_MARGIN=abc\r\nWAIT_FIRST_TIME=" + std::string(300, '9') + "\r\n");
    EXPECT_EQ(box(SettingBox::SleepBound), "30");
    EXPECT_EQ(box(SettingBox::HorizontalMargin), "abc"); // not validated at load
    EXPECT_EQ(box(SettingBox::FirstPassWait), QString(255, '9'));
    EXPECT_EQ(box(SettingBox::ClickWaitBound), "");
    EXPECT_EQ(box(SettingBox::VerticalMargin), "");
}

TEST_F(SettingsTest, ValidationTurnsANonNumberIntoZeroAndKeepsTheFocus)
{
    start("");
    box(SettingBox::VerticalMargin) = "";
    EXPECT_TRUE(h.form.Text3_Validate());
    EXPECT_EQ(box(SettingBox::VerticalMargin), "0");
    box(SettingBox::VerticalMargin) = " -2.5E3 ";
    EXPECT_FALSE(h.form.Text3_Validate());
    EXPECT_EQ(box(SettingBox::VerticalMargin), " -2.5E3 "); // kept exactly as typed
}

TEST_F(SettingsTest, SetWritesTheNumbersAsTypedInTheBoxOrderAndKeepsEveryOtherByte)
{
    start("; by hand\n[Display]\nzoom = 2\n\n[STATUS]\nHORIZON_MARGIN=x\n\n[Z]\nq=1\n");
    h.controls.boxes = {{SettingBox::SleepBound, "-5"}, {SettingBox::ClickWaitBound, "2.5"},
        {SettingBox::VerticalMargin, "1E3"}, {SettingBox::HorizontalMargin, "5\r\n"}, // a pasted line break
        {SettingBox::FirstPassWait, "99999999999999999999"}};
    h.form.Command5_Click();
    EXPECT_EQ(settingsFile(),
        "; by hand\n[Display]\nzoom = 2\n\n[STATUS]\nHORIZON_MARGIN=x\nSLEEP_TIME=-5\n"
        "WAIT_CLICK_TIME=2.5\nVERTICAL_MARGIN=1E3\nWAIT_FIRST_TIME=99999999999999999999\n\n"
        "[Z]\nq=1\n");
}

TEST_F(SettingsTest, TheRegionalDecimalSeparatorIsTheOneAccepted)
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    start("");
    h.controls.setBoxes("x");
    box(SettingBox::SleepBound) = "2,5";
    EXPECT_FALSE(h.form.Text1_Validate());
    box(SettingBox::ClickWaitBound) = "2.5";
    EXPECT_TRUE(h.form.Text2_Validate());
    h.form.Command5_Click();
    EXPECT_EQ(settingsFile(), "[STATUS]\r\nSLEEP_TIME=2,5\r\nWAIT_CLICK_TIME=0\r\n");
    QLocale::setDefault(QLocale::system());
}

TEST_F(SettingsTest, AFailedSetIsReportedAndTheBoxesStay)
{
    h.form.Form_Load();
    QDir(h.path("")).mkdir("clickpath.ini"); // a folder in the way
    h.controls.setBoxes("5");
    h.form.Command5_Click();
    EXPECT_TRUE(h.desk.messages.errors.value(0).contains(h.path("clickpath.ini")));
    EXPECT_EQ(box(SettingBox::FirstPassWait), "5");
}

} // namespace
