// "Save" and "Load" with a scripted dialog and real files.
#include "fakes/FakeDesktop.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace clickpath;
using namespace clickpath::fakes;

namespace {

class ExchangeTest : public ::testing::Test {
protected:
    void save(const std::optional<QString>& choice) { choose(choice, &app::Form1::Command2_Click); }
    void load(const std::optional<QString>& choice) { choose(choice, &app::Form1::Command4_Click); }
    void choose(const std::optional<QString>& choice, void (app::Form1::*handler)())
    {
        h.dialog.choices = {choice};
        (h.form.*handler)();
    }
    QStringList& errors() { return h.desk.messages.errors; }

    Harness h;
};

TEST_F(ExchangeTest, CopiesWholeFilesBothWaysThroughDialogsPresetWithTheWorkingRecording)
{
    h.writeRecording("1,2,0\r\n");
    writeFile(h.path("kept.txt"), "an older recording, longer than the new one\r\n");
    save(h.path("kept.txt"));
    save(h.path("noext"));
    EXPECT_EQ(readFile(h.path("kept.txt")), "1,2,0\r\n");
    EXPECT_EQ(readFile(h.path("noext")), "1,2,0\r\n"); // the name as typed
    writeFile(h.path("other.txt"), "not a recording at all\n");
    load(h.path("other.txt"));
    EXPECT_EQ(h.readRecording(), "not a recording at all\n");
    const QString preset = h.path("clickpath.txt") + " テキスト ファイル (*.txt)|*.txt";
    EXPECT_EQ(h.dialog.shown, (QStringList{"save " + preset, "save " + preset, "open " + preset}));
    EXPECT_TRUE(errors().isEmpty());
}

TEST_F(ExchangeTest, CancelAndTheWorkingRecordingUnderAnyNameCopyNothing)
{
    h.writeRecording("1,1,0\r\n");
    QDir(h.path("")).mkdir("sub");
    ASSERT_TRUE(QFile::link(h.path("clickpath.txt"), h.path("link.txt")));
    for (const auto& choice :
        {std::optional<QString>(), std::optional<QString>(""), std::optional(h.path("clickpath.txt")),
            std::optional(h.path("link.txt")), std::optional(h.path("sub/../clickpath.txt"))}) {
        save(choice);
        load(choice);
    }
    EXPECT_EQ(h.readRecording(), "1,1,0\r\n");
    EXPECT_TRUE(errors().isEmpty());
}

TEST_F(ExchangeTest, FailuresNameThePathAndLeaveEveryFileAsItWas)
{
    save(h.path("x.txt"));
    EXPECT_TRUE(errors().value(0).contains("does not exist"));
    EXPECT_TRUE(h.dialog.shown.isEmpty()); // nothing to save: no dialog
    h.writeRecording("1,1,0\r\n");
    writeFile(h.path("plain"), "p");
    QDir(h.path("")).mkdir("folder");
    for (const char* name : {"missing/x.txt", "plain/x.txt"})
        save(h.path(name));
    load(h.path("folder"));
    ASSERT_EQ(errors().size(), 4);
    for (int i = 1; i < 4; ++i)
        EXPECT_TRUE(errors()[i].contains(QStringList{"missing/x.txt", "plain/x.txt", "folder"}[i - 1]));
    EXPECT_EQ(h.readRecording(), "1,1,0\r\n");
    EXPECT_EQ(QDir(h.path("")).entryList(QDir::Files), (QStringList{"clickpath.txt", "plain"})); // no temporary left
}

} // namespace
