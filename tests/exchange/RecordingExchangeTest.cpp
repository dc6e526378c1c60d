// "Save" and "Load" through the window's handlers, with a scripted dialog.
#include "app/Form1Harness.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace clickpath;
using namespace clickpath::fakes;

namespace {

struct FilesTest : ::testing::Test {
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

} // namespace
