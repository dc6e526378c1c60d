// The installed tool: a folder of its own with a link on the PATH, started
// through the link on a private Xvfb, works on files beside the real executable.
#include "fakes/FakeDesktop.h"
#include "platform/x11/X11Harness.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

using namespace clickpath::fakes;

namespace {

// Runs a program to its end; its exit code, or -1 when it crashed.
int run(const QString& program, const QStringList& arguments, QString* output = nullptr)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    process.waitForFinished(120000);
    if (output)
        *output = QString::fromLocal8Bit(process.readAll());
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

class InstallTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        QString output;
        ASSERT_EQ(run("cmake", {"--install", CLICKPATH_BUILD_DIR, "--prefix", prefix.path()}, &output), 0)
            << output.toStdString();
    }
    static QString installed(const char* relative) { return QDir(prefix.path()).filePath(relative); }

    static inline QTemporaryDir prefix;
};

TEST_F(InstallTest, InstallsAFolderOfItsOwnWithALinkAndAValidLauncher)
{
    EXPECT_TRUE(QFileInfo(installed("lib/clickpath/clickpath")).isExecutable());
    EXPECT_EQ(QFileInfo(installed("bin/clickpath")).symLinkTarget(), installed("lib/clickpath/clickpath"));
    EXPECT_TRUE(QFile::exists(installed("share/icons/hicolor/scalable/apps/clickpath.svg")));
    EXPECT_TRUE(QFile::exists(installed("share/icons/hicolor/16x16/apps/clickpath.xpm")));
    const std::string desktop = readFile(installed("share/applications/clickpath.desktop"));
    EXPECT_NE(desktop.find("Exec=" + installed("bin/clickpath").toStdString() + "\n"), std::string::npos);
    QString output;
    EXPECT_EQ(run("desktop-file-validate", {installed("share/applications/clickpath.desktop")}, &output), 0);
    EXPECT_TRUE(output.trimmed().isEmpty()) << output.toStdString();
}

TEST_F(InstallTest, StartedThroughTheLinkItRecordsBesideTheRealExecutable)
{
    XUser user(false);
    QProcess tool;
    tool.start(installed("bin/clickpath"), {});
    std::optional<std::pair<int, int>> origin;
    ASSERT_TRUE(RealTool::pumpUntil([&] { return (origin = user.windowOrigin("clickpath")).has_value(); }, 10000));
    user.moveTo(origin->first + 30, origin->second + 15); // "Rec"
    user.click(1);
    const QString recording = installed("lib/clickpath/clickpath.txt");
    ASSERT_TRUE(RealTool::pumpUntil([&] { return readFile(recording).size() > 100; }, 5000));
    user.click(3);
    RealTool::runFor(200);
    const std::string stopped = readFile(recording);
    RealTool::runFor(200);
    EXPECT_EQ(readFile(recording), stopped); // no longer growing
    EXPECT_FALSE(QFile::exists(installed("bin/clickpath.txt")));
    tool.terminate();
    tool.waitForFinished(5000);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
