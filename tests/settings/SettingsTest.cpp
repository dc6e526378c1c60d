// The five boxes through the window's handlers: loaded at start, validated, stored by "SET".
#include "app/Form1Harness.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace clickpath;
using namespace clickpath::fakes;

namespace {

struct SettingsTest : ::testing::Test {
    void start(const std::string& ini) { (writeFile(h.path("clickpath.ini"), ini), h.form.Form_Load()); }
    Harness h{false}; // started by each test
};

TEST_F(
    SettingsTest, StartUpLoadsKeysAsTheyStandValidationTurnsNoNumberIntoZeroAndSetWritesTheBoxesAndKeepsEveryOtherByte)
{
    start(std::string("[STATUS]\r\nSLEEP_TIME=30\r\nWAIT_CLICK_TIME=1\0 2\r\nHORIZON_MARGIN=abc\r\n", 67)
        + "WAIT_FIRST_TIME=" + std::string(300, '9') + "\r\n");
    QStringList boxes; // Sleep, Click, VM, HM, 1st.
    for (const auto& [box, text] : h.controls.boxes)
        boxes << text;
    EXPECT_EQ(boxes.join('|'), "30|1||abc|" + QString(255, '9'));
    EXPECT_TRUE(h.form.Text3_Validate()); // leaving VM, empty
    EXPECT_EQ(h.controls.boxes[SettingBox::VerticalMargin], "0");
    h.controls.boxes[SettingBox::VerticalMargin] = " -2.5E3 ";
    EXPECT_FALSE(h.form.Text3_Validate());
    EXPECT_EQ(h.controls.boxes[SettingBox::VerticalMargin], " -2.5E3 "); // kept exactly as typed
    writeFile(h.path("clickpath.ini"),
        "; by hand\n[Display]\nzoom = 2\n\n[STATUS]\nHORIZON_MARGIN=x\n\n[Z]\nq=1\n"); // edited since
    h.controls.setBoxes("-5 2.5 1E3 x 99999999999999999999");
    h.controls.boxes[SettingBox::HorizontalMargin] = "5\r\n"; // a pasted line break
    h.form.Command5_Click();
    EXPECT_EQ(readFile(h.path("clickpath.ini")),
        "; by hand\n[Display]\nzoom = 2\n\n[STATUS]\nHORIZON_MARGIN=x\n"
        "SLEEP_TIME=-5\nWAIT_CLICK_TIME=2.5\nVERTICAL_MARGIN=1E3\n"
        "WAIT_FIRST_TIME=99999999999999999999\n\n[Z]\nq=1\n");
}

TEST_F(SettingsTest, APipeForTheFileNeitherBlocksTheStartNorTakesASet)
{
    ASSERT_EQ(::mkfifo(QFile::encodeName(h.path("clickpath.ini")).constData(), 0600), 0);
    h.form.Form_Load();
    EXPECT_EQ(h.controls.boxes[SettingBox::SleepBound], "");
    h.controls.setBoxes("1");
    h.form.Command5_Click();
    EXPECT_EQ(h.desk.messages.errors,
        QStringList{"Cannot store the settings in " + h.path("clickpath.ini") + ": it is not a regular file"});
}

} // namespace
