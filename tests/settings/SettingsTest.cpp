// Loading, validating and storing the five boxes against a real settings file.
#include "fakes/Fakes.h"

#include <QLocale>

#include <gtest/gtest.h>

using namespace clickpath;
using namespace clickpath::fakes;
using app::TextBoxId;

namespace {

class SettingsTest : public ::testing::Test {
protected:
    void start(const std::string& ini)
    {
        writeFile(h.settingsPath(), ini);
        h.form().Form_Load();
    }
    QString box(TextBoxId id) { return h.controls.texts[id]; }

    Harness h;
};

TEST_F(SettingsTest, WithoutASettingsFileAllBoxesStartEmpty)
{
    h.form().Form_Load();
    for (auto id : {TextBoxId::Text1, TextBoxId::Text2, TextBoxId::Text3, TextBoxId::Text4, TextBoxId::Text5})
        EXPECT_EQ(box(id), "") << static_cast<int>(id);
    EXPECT_TRUE(h.messages.errors.isEmpty());
}

TEST_F(SettingsTest, LoadsPresentKeysUnchangedAndLeavesAbsentOnesEmpty)
{
    start("[STATUS]\r\nSLEEP_TIME=30\r\nHORIZON_MARGIN=abc\r\nWAIT_FIRST_TIME=" + std::string(300, '9') + "\r\n");
    EXPECT_EQ(box(TextBoxId::Text1), "30");
    EXPECT_EQ(box(TextBoxId::Text4), "abc"); // not validated at load
    EXPECT_EQ(box(TextBoxId::Text5), QString(255, '9'));
    EXPECT_EQ(box(TextBoxId::Text2), "");
    EXPECT_EQ(box(TextBoxId::Text3), "");
}

TEST_F(SettingsTest, ValidationTurnsANonNumberIntoZeroAndCancels)
{
    h.form().Form_Load();
    h.controls.texts[TextBoxId::Text3] = "";
    EXPECT_TRUE(h.form().Text3_Validate());
    EXPECT_EQ(box(TextBoxId::Text3), "0");
    h.controls.texts[TextBoxId::Text3] = " -2.5E3 ";
    EXPECT_FALSE(h.form().Text3_Validate());
    EXPECT_EQ(box(TextBoxId::Text3), " -2.5E3 "); // kept exactly as typed
}

TEST_F(SettingsTest, SetWritesNumbersAsTypedInTheBoxOrderAndSkipsTheRest)
{
    h.form().Form_Load();
    h.controls.setBoxes("-5", "2.5", "1E3", "abc", "99999999999999999999");
    h.form().Command5_Click();
    EXPECT_EQ(readFile(h.settingsPath()), "[STATUS]\r\nSLEEP_TIME=-5\r\nWAIT_CLICK_TIME=2.5\r\nVERTICAL_MARGIN=1E3\r\n"
                                          "WAIT_FIRST_TIME=99999999999999999999\r\n");
    h.controls.texts[TextBoxId::Text4] = "7";
    h.form().Command5_Click();
    EXPECT_EQ(readFile(h.settingsPath()), "[STATUS]\r\nSLEEP_TIME=-5\r\nWAIT_CLICK_TIME=2.5\r\nVERTICAL_MARGIN=1E3\r\n"
                                          "WAIT_FIRST_TIME=99999999999999999999\r\nHORIZON_MARGIN=7\r\n");
    EXPECT_TRUE(h.messages.errors.isEmpty());
}

TEST_F(SettingsTest, SetKeepsOldValuesOfLetterBoxesAndEveryOtherByte)
{
    const std::string before = "; written by hand\n[Display]\nzoom = 2\n\n[STATUS]\nSLEEP_TIME=abc\nWAIT_CLICK_TIME=4\n"
                               "HORIZON_MARGIN=xyz\n\n[Z]\nq=1\n";
    start(before);
    h.controls.texts[TextBoxId::Text2] = "8";
    h.controls.texts[TextBoxId::Text3] = "1";
    h.controls.texts[TextBoxId::Text5] = "0";
    h.form().Command5_Click();
    EXPECT_EQ(readFile(h.settingsPath()), "; written by hand\n[Display]\nzoom = 2\n\n[STATUS]\nSLEEP_TIME=abc\n"
                                          "WAIT_CLICK_TIME=8\nHORIZON_MARGIN=xyz\nVERTICAL_MARGIN=1\n"
                                          "WAIT_FIRST_TIME=0\n\n[Z]\nq=1\n");
}

TEST_F(SettingsTest, RegionalDecimalSeparatorIsTheOneAcceptedAndConverted)
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    h.form().Form_Load();
    h.controls.texts[TextBoxId::Text1] = "2,5";
    EXPECT_FALSE(h.form().Text1_Validate());
    h.controls.texts[TextBoxId::Text2] = "2.5";
    EXPECT_TRUE(h.form().Text2_Validate());
    h.form().Command5_Click();
    EXPECT_EQ(readFile(h.settingsPath()), "[STATUS]\r\nSLEEP_TIME=2,5\r\nWAIT_CLICK_TIME=0\r\n");
    QLocale::setDefault(QLocale::system());
}

TEST_F(SettingsTest, AFailedSetIsReportedAndTheBoxesStay)
{
    h.form().Form_Load();
    QDir(h.dir()).mkdir("clickpath.ini"); // a folder in the way
    h.controls.setBoxes("1", "2", "3", "4", "5");
    h.form().Command5_Click();
    ASSERT_EQ(h.messages.errors.size(), 1);
    EXPECT_TRUE(h.messages.errors[0].contains(h.settingsPath()));
    EXPECT_EQ(box(TextBoxId::Text5), "5");
}

} // namespace

namespace {

// Settings files that no version of the tool wrote: start-up shows what it
// can and never fails, and "SET" keeps every byte it does not own.
TEST_F(SettingsTest, HugeLinesAreCutAndTheFileStaysWhole)
{
    const std::string huge(10 * 1024 * 1024, '5');
    start("[STATUS]\r\nSLEEP_TIME=" + huge + "\r\nNOTES=" + huge + "\r\n");
    EXPECT_EQ(box(TextBoxId::Text1), QString(255, '5'));
    h.controls.texts[TextBoxId::Text2] = "3";
    h.form().Command5_Click();
    EXPECT_EQ(readFile(h.settingsPath()),
        "[STATUS]\r\nSLEEP_TIME=" + std::string(255, '5') + "\r\nNOTES=" + huge + "\r\nWAIT_CLICK_TIME=3\r\n");
}

TEST_F(SettingsTest, BinaryJunkAndUtf16FilesLoadAsEmptyBoxesAndAreKeptBehindNewKeys)
{
    std::string junk;
    for (int i = 0; i < 4096; ++i)
        junk.push_back(static_cast<char>((i * 7919) & 0xFF));
    const QString utf16 = QStringLiteral("[STATUS]\r\nSLEEP_TIME=5\r\n");
    std::string wide("\xFF\xFE", 2);
    wide.append(reinterpret_cast<const char*>(utf16.utf16()), static_cast<std::size_t>(utf16.size()) * 2);
    for (const std::string& bytes : {junk, wide}) {
        Harness fresh;
        writeFile(fresh.settingsPath(), bytes);
        fresh.form().Form_Load();
        EXPECT_EQ(fresh.controls.texts[TextBoxId::Text1], "");
        fresh.controls.setBoxes("1", "", "", "", "");
        fresh.form().Command5_Click();
        const std::string after = readFile(fresh.settingsPath());
        EXPECT_EQ(after.substr(0, bytes.size()), bytes); // nothing of it lost
        EXPECT_TRUE(fresh.messages.errors.isEmpty());
    }
}

} // namespace
