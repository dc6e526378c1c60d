#include "fakes/Fakes.h"
#include "platform/ProfileFile.h"
#include "platform/ToolError.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace clickpath;
using namespace clickpath::platform;

namespace {

TEST(ProfileFileTest, FindsKeysByNameWithoutRegardToCaseOrBlanks)
{
    const QByteArray file = "; settings\r\n[other]\r\nSLEEP_TIME=1\r\n[ status ]\r\n  sleep_time = 5 \r\n"
                            "WAIT_CLICK_TIME=\"7\"\r\n;HORIZON_MARGIN=3\r\nEMPTY=\r\n[STATUS]\r\nVERTICAL_MARGIN=9\r\n";
    EXPECT_EQ(profile::find(file, "STATUS", "SLEEP_TIME"), QByteArray("5"));
    EXPECT_EQ(profile::find(file, "STATUS", "WAIT_CLICK_TIME"), QByteArray("7"));
    EXPECT_EQ(profile::find(file, "STATUS", "EMPTY"), QByteArray(""));
    EXPECT_EQ(profile::find(file, "STATUS", "HORIZON_MARGIN"), std::nullopt); // a comment
    EXPECT_EQ(profile::find(file, "STATUS", "VERTICAL_MARGIN"), std::nullopt); // second section of that name
    EXPECT_EQ(profile::find(file, "other", "SLEEP_TIME"), QByteArray("1"));
    EXPECT_EQ(profile::find("", "STATUS", "SLEEP_TIME"), std::nullopt);
    EXPECT_EQ(profile::find("SLEEP_TIME=4\n", "STATUS", "SLEEP_TIME"), std::nullopt); // outside any section
}

TEST(ProfileFileTest, SettingAKeyChangesThatLineAndNoOtherByte)
{
    const QByteArray file = "; keep me\r\n[Window]\r\nx = 10 ; trailing\r\n\r\n[STATUS]\r\nSleep_Time=5\r\n"
                            "WAIT_CLICK_TIME=7\r\n\r\n\r\n[Last]\r\na=b";
    EXPECT_EQ(profile::set(file, "STATUS", "SLEEP_TIME", "-2.5E3"),
        QByteArray("; keep me\r\n[Window]\r\nx = 10 ; trailing\r\n\r\n[STATUS]\r\nSleep_Time=-2.5E3\r\n"
                   "WAIT_CLICK_TIME=7\r\n\r\n\r\n[Last]\r\na=b"));
    // A new key follows the section's last entry, before the blank lines.
    EXPECT_EQ(profile::set(file, "STATUS", "VERTICAL_MARGIN", "3"),
        QByteArray("; keep me\r\n[Window]\r\nx = 10 ; trailing\r\n\r\n[STATUS]\r\nSleep_Time=5\r\n"
                   "WAIT_CLICK_TIME=7\r\nVERTICAL_MARGIN=3\r\n\r\n\r\n[Last]\r\na=b"));
}

TEST(ProfileFileTest, MissingSectionIsAppendedInTheFilesOwnLineEnds)
{
    EXPECT_EQ(profile::set("", "STATUS", "SLEEP_TIME", "5"), QByteArray("[STATUS]\r\nSLEEP_TIME=5\r\n"));
    EXPECT_EQ(profile::set("[a]\nb=c\n", "STATUS", "K", "1"), QByteArray("[a]\nb=c\n[STATUS]\nK=1\n"));
    EXPECT_EQ(profile::set("[a]\r\nb=c", "STATUS", "K", "1"), QByteArray("[a]\r\nb=c\r\n[STATUS]\r\nK=1\r\n"));
    EXPECT_EQ(profile::set("[STATUS]", "STATUS", "K", "1"), QByteArray("[STATUS]\r\nK=1\r\n"));
    // A last line cut after its CR gets its LF before the new key (found by fuzzing).
    EXPECT_EQ(profile::set("[STATUS]\r\nA=1\r", "STATUS", "K", "1"), QByteArray("[STATUS]\r\nA=1\r\nK=1\r\n"));
    EXPECT_EQ(profile::set("[STATUS]\nA=1", "STATUS", "K", "1"), QByteArray("[STATUS]\nA=1\nK=1\n"));
}

TEST(ProfileFileTest, ReadingCutsToTheCapacityAndFallsBackToTheDefault)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("t.ini");
    EXPECT_EQ(getPrivateProfileString("STATUS", "K", "dflt", 256, path), QByteArray("dflt"));
    fakes::writeFile(path, "[STATUS]\r\nK=" + std::string(300, '7') + "\r\n");
    EXPECT_EQ(getPrivateProfileString("STATUS", "K", "", 256, path), QByteArray(255, '7'));
    EXPECT_EQ(getPrivateProfileString("STATUS", "other", "", 256, path), QByteArray());
}

TEST(ProfileFileTest, AFailedWriteSaysWhereAndWhyAndChangesNothing)
{
    QTemporaryDir dir;
    fakes::writeFile(dir.filePath("plain"), "x");
    for (const QString& path : {dir.filePath("plain/t.ini"), dir.filePath("missing/t.ini"), dir.path()}) {
        try {
            writePrivateProfileString("STATUS", "K", "1", path);
            ADD_FAILURE() << path.toStdString();
        } catch (const ToolError& error) {
            EXPECT_NE(std::string(error.what()).find(path.toStdString()), std::string::npos) << error.what();
        }
    }
    EXPECT_EQ(fakes::readFile(dir.filePath("plain")), "x");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList{"plain"});
}

} // namespace
