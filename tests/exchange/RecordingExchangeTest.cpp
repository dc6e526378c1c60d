// The window's files: "Save" and "Load" with a scripted dialog; the boxes loaded, validated and stored in the settings.
#include "app/Form1Harness.h"

#include <QDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace clickpath;
using namespace clickpath::fakes;

namespace {

struct FilesTest : ::testing::Test {
    void start(const std::string& ini) { (writeFile(h.path("clickpath.ini"), ini), h.form.Form_Load()); }
    // Chooses a file in the dialog of "Save" or of "Load"; nothing cancels.
    void save(const std::optional<QString>& choice) { (h.dialog.choices = {choice}, h.form.Command2_Click()); }
    void load(const std::optional<QString>& choice) { (h.dialog.choices = {choice}, h.form.Command4_Click()); }

    Harness h{false}; // started by each test
};

TEST_F(FilesTest, FailuresNameThePathAndLeaveEveryFileAsItWasCopiesAreWholeAndNeverOfTheWorkingRecordingOntoItself)
{
    h.form.Form_Load();
    save(h.path("x.txt"));
    EXPECT_TRUE(h.dialog.shown.isEmpty()); // nothing to save yet: said, and no dialog
    h.writeRecording("1,1,0\r\n");
    writeFile(h.path("plain"), "p");
    QDir(h.path("")).mkdir("folder");
    (save(h.path("missing/x.txt")), save(h.path("plain/x.txt")));
    load(h.path("folder"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(h.path("pipe")).constData(), 0600), 0);
    (load("/dev/zero"), save(h.path("pipe"))); // neither fills the disk nor blocks
    EXPECT_EQ(h.desk.messages.errors.join('|').replace(h.path(""), "<dir>").toStdString(),
        "Nothing to save yet: the working recording <dir>/clickpath.txt does not exist.|Cannot write "
        "<dir>/missing/x.txt: No such file or directory|Cannot write <dir>/plain/x.txt: Not a directory|"
        "Cannot read <dir>/folder: it is a folder|"
        "Cannot read /dev/zero: it is not a regular file|Cannot write <dir>/pipe: it is not a regular file");
    EXPECT_EQ(h.readRecording(), "1,1,0\r\n");
    EXPECT_EQ(QDir(h.path("")).entryList(QDir::Files), (QStringList{"clickpath.txt", "plain"})); // no temporary left
    h.desk.messages.errors.clear();
    h.writeRecording("1,2,0\r\n");
    writeFile(h.path("kept.txt"), "an older recording, longer than the new one\r\n");
    save(h.path("kept.txt"));
    save(h.path("noext")); // the name as typed
    EXPECT_EQ(readFile(h.path("kept.txt")) + readFile(h.path("noext")), "1,2,0\r\n1,2,0\r\n");
    ASSERT_TRUE(QFile::link(h.path("clickpath.txt"), h.path("link.txt")));
    QFile working(h.path("clickpath.txt"));
    ASSERT_TRUE(working.open(QIODevice::Append)
        && working.setFileTime(QDateTime::fromSecsSinceEpoch(0), QFileDevice::FileModificationTime));
    for (const auto& choice : {std::optional<QString>(), std::optional<QString>(""), std::optional(h.path("link.txt")),
             std::optional(h.path("clickpath.txt"))})
        (save(choice), load(choice)); // cancelled, or the working recording under any name
    EXPECT_EQ(h.readRecording(), "1,2,0\r\n");
    EXPECT_EQ(QFileInfo(working).lastModified().toSecsSinceEpoch(), 0); // not even rewritten
    writeFile(h.path("other.txt"), "not a recording at all\n");
    load(h.path("other.txt"));
    EXPECT_EQ(h.readRecording(), "not a recording at all\n");
    EXPECT_EQ(h.dialog.shown.back(), "open " + h.path("clickpath.txt") + " テキスト ファイル (*.txt)|*.txt");
    EXPECT_EQ(h.dialog.shown.first(), "save " + h.path("clickpath.txt") + " テキスト ファイル (*.txt)|*.txt");
    EXPECT_TRUE(h.desk.messages.errors.isEmpty());
}

TEST_F(FilesTest, StartUpLoadsKeysAsTheyStandValidationTurnsNoNumberIntoZeroAndSetWritesTheBoxesAndKeepsEveryOtherByte)
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

TEST_F(FilesTest, APipeForTheFileNeitherBlocksTheStartNorTakesASet)
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
