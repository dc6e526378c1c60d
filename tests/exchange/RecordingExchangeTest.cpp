// "Save" and "Load" with a scripted dialog and real files.
#include "fakes/Fakes.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <cstdlib>
#include <unistd.h>

using namespace clickpath;
using namespace clickpath::fakes;

namespace {

class ExchangeTest : public ::testing::Test {
protected:
    ExchangeTest() { h.form().Form_Load(); }
    QString path(const char* name) const { return QDir(h.dir()).filePath(QString::fromUtf8(name)); }
    void save(const QString& choice)
    {
        h.dialog.choices = {choice};
        h.form().Command2_Click();
    }
    void load(const QString& choice)
    {
        h.dialog.choices = {choice};
        h.form().Command4_Click();
    }

    Harness h;
};

TEST_F(ExchangeTest, DialogsArePresetWithTheWorkingRecordingAndTheTextFilter)
{
    h.writeRecording("1,1,0\r\n");
    save("");
    EXPECT_EQ(h.dialog.shown, QStringList{"save"});
    EXPECT_EQ(h.dialog.presetSeen, h.recordingPath());
    EXPECT_EQ(h.dialog.filter, "テキスト ファイル (*.txt)|*.txt");
    EXPECT_EQ(h.dialog.flags, 2050);
    load("");
    EXPECT_EQ(h.dialog.shown, (QStringList{"save", "open"}));
    EXPECT_EQ(h.dialog.flags, 4100);
    EXPECT_EQ(h.dialog.presetSeen, h.recordingPath());
}

TEST_F(ExchangeTest, SaveCopiesTheWorkingRecordingExactlyUnderTheNameAsTyped)
{
    const std::string recording = "1,2,0\r\n3,4,128\r\n";
    h.writeRecording(recording);
    writeFile(path("kept.txt"), "an older recording, longer than the new one\r\n");
    save(path("kept.txt"));
    EXPECT_EQ(readFile(path("kept.txt")), recording);
    save(path("noext"));
    EXPECT_EQ(readFile(path("noext")), recording);
    EXPECT_FALSE(QFile::exists(path("noext.txt")));
    EXPECT_EQ(h.readRecording(), recording);
    EXPECT_TRUE(h.messages.errors.isEmpty());
}

TEST_F(ExchangeTest, LoadCopiesAnyFileOverTheWorkingRecordingAndCreatesIt)
{
    writeFile(path("other.txt"), "not a recording at all\n");
    load(path("other.txt"));
    EXPECT_EQ(h.readRecording(), "not a recording at all\n");
    writeFile(path("empty.txt"), "");
    load(path("empty.txt"));
    EXPECT_EQ(h.readRecording(), "");
    EXPECT_EQ(readFile(path("empty.txt")), "");
}

TEST_F(ExchangeTest, CancelAndTheWorkingRecordingItselfCopyNothing)
{
    h.writeRecording("1,1,0\r\n");
    writeFile(path("other.txt"), "other\r\n");
    load("");
    save("");
    load(h.recordingPath());
    save(h.recordingPath());
    EXPECT_EQ(h.readRecording(), "1,1,0\r\n");
    EXPECT_EQ(readFile(path("other.txt")), "other\r\n");
    EXPECT_TRUE(h.messages.errors.isEmpty());
}

TEST_F(ExchangeTest, TheSameFileUnderAnotherNameIsLeftIntact)
{
    h.writeRecording("1,1,0\r\n");
    QDir(h.dir()).mkdir("sub");
    ASSERT_TRUE(QFile::link(h.recordingPath(), path("link.txt")));
    for (const QString& alias : {path("link.txt"), path("sub/../clickpath.txt"), path("./clickpath.txt")}) {
        save(alias);
        load(alias);
        EXPECT_EQ(h.readRecording(), "1,1,0\r\n") << alias.toStdString();
    }
    EXPECT_TRUE(h.messages.errors.isEmpty());
}

TEST_F(ExchangeTest, SaveBeforeAnyRecordingSaysSoAndShowsNoDialog)
{
    save(path("x.txt"));
    ASSERT_EQ(h.messages.errors.size(), 1);
    EXPECT_TRUE(h.messages.errors[0].contains("does not exist"));
    EXPECT_TRUE(h.dialog.shown.isEmpty());
    EXPECT_FALSE(QFile::exists(path("x.txt")));
}

TEST_F(ExchangeTest, FailedCopiesNameThePathAndLeaveTheDestinationAsItWas)
{
    h.writeRecording("1,1,0\r\n");
    writeFile(path("plain"), "p");
    save(path("missing/x.txt"));
    save(path("plain/x.txt"));
    QDir(h.dir()).mkdir("folder");
    load(path("folder"));
    ASSERT_EQ(h.messages.errors.size(), 3);
    EXPECT_TRUE(h.messages.errors[0].contains(path("missing/x.txt")));
    EXPECT_TRUE(h.messages.errors[1].contains(path("plain/x.txt")));
    EXPECT_TRUE(h.messages.errors[2].contains(path("folder")));
    EXPECT_EQ(h.readRecording(), "1,1,0\r\n");
    EXPECT_EQ(readFile(path("plain")), "p");
    // No temporary file is left behind.
    EXPECT_EQ(QDir(h.dir()).entryList(QDir::Files).size(), 2);
}

} // namespace

namespace {

// A small file system of its own that fills up: mounting needs root, as the
// suite runs in CI; elsewhere the test is skipped.
class FullDiskTest : public ExchangeTest {
protected:
    void SetUp() override
    {
        QDir(h.dir()).mkdir("small");
        const std::string command = "mount -t tmpfs -o size=16k tmpfs '" + path("small").toStdString() + "' 2>/dev/null";
        if (geteuid() != 0 || std::system(command.c_str()) != 0)
            GTEST_SKIP() << "cannot mount a small file system here";
        mounted = true;
    }
    void TearDown() override
    {
        if (mounted)
            std::system(("umount '" + path("small").toStdString() + "'").c_str());
    }
    bool mounted = false;
};

TEST_F(FullDiskTest, SaveOntoAFullDiskKeepsTheOldFileAndSaysWhy)
{
    writeFile(path("small/kept.txt"), "the old recording\r\n");
    h.writeRecording(std::string(64 * 1024, '7'));
    save(path("small/kept.txt"));
    ASSERT_EQ(h.messages.errors.size(), 1);
    EXPECT_TRUE(h.messages.errors[0].contains(path("small/kept.txt")));
    EXPECT_EQ(readFile(path("small/kept.txt")), "the old recording\r\n");
    EXPECT_EQ(QDir(path("small")).entryList(QDir::Files), QStringList{"kept.txt"}); // no temporary left
}

} // namespace
