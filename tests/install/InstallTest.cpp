// The installed tool: a folder of its own with a link on the PATH, started
// through the link on a private Xvfb, works on files beside the real executable.
#include "fakes/Fakes.h"
#include "platform/x11/XObserver.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace clickpath::fakes;

namespace {

// Polls for a condition of another process; there is no event to wait on.
bool within(int milliseconds, const std::function<bool()>& done)
{
    for (int waited = 0; waited < milliseconds; waited += 20) {
        if (done())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return done();
}

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
        prefix = new QTemporaryDir;
        QString output;
        ASSERT_EQ(run("cmake", {"--install", CLICKPATH_BUILD_DIR, "--prefix", prefix->path()}, &output), 0)
            << output.toStdString();
    }
    static void TearDownTestSuite()
    {
        delete prefix;
        prefix = nullptr;
    }
    static QString installed(const char* relative) { return QDir(prefix->path()).filePath(relative); }

    static QTemporaryDir* prefix;
};

QTemporaryDir* InstallTest::prefix = nullptr;

TEST_F(InstallTest, InstallsAFolderOfItsOwnWithALinkALauncherAndIcons)
{
    EXPECT_TRUE(QFileInfo(installed("lib/clickpath/clickpath")).isExecutable());
    EXPECT_EQ(QFileInfo(installed("bin/clickpath")).symLinkTarget(), installed("lib/clickpath/clickpath"));
    EXPECT_TRUE(QFile::exists(installed("share/icons/hicolor/scalable/apps/clickpath.svg")));
    EXPECT_TRUE(QFile::exists(installed("share/icons/hicolor/16x16/apps/clickpath.xpm")));
    const std::string desktop = readFile(installed("share/applications/clickpath.desktop"));
    EXPECT_NE(desktop.find("Exec=" + installed("bin/clickpath").toStdString() + "\n"), std::string::npos);
    EXPECT_NE(desktop.find("Categories=Utility;"), std::string::npos);
}

TEST_F(InstallTest, TheLauncherPassesDesktopFileValidate)
{
    const QString validator = QStandardPaths::findExecutable("desktop-file-validate");
    ASSERT_FALSE(validator.isEmpty()) << "desktop-file-utils is not installed";
    QString output;
    EXPECT_EQ(run(validator, {installed("share/applications/clickpath.desktop")}, &output), 0)
        << output.toStdString();
    EXPECT_TRUE(output.trimmed().isEmpty()) << output.toStdString();
}

TEST_F(InstallTest, StartedThroughTheLinkItRecordsBesideTheRealExecutable)
{
    XObserver user(false);
    user.moveTo(900, 900);
    QProcess tool;
    tool.setProcessChannelMode(QProcess::ForwardedChannels);
    tool.start(installed("bin/clickpath"), {});
    ASSERT_TRUE(tool.waitForStarted());
    std::optional<std::pair<int, int>> origin;
    ASSERT_TRUE(within(10000, [&] { return (origin = user.windowOrigin("clickpath")).has_value(); }));

    // "Rec" stands at 6,4 and is 49 by 23 pixels.
    user.moveTo(origin->first + 30, origin->second + 15);
    user.click(1);
    const QString recording = installed("lib/clickpath/clickpath.txt");
    ASSERT_TRUE(within(5000, [&] { return readFile(recording).size() > 100; }));
    user.click(3);
    // Stopped: the file no longer grows.
    EXPECT_TRUE(within(5000, [&] {
        const auto before = readFile(recording).size();
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        return readFile(recording).size() == before;
    }));
    const std::string lines = readFile(recording);
    EXPECT_EQ(lines.substr(lines.size() - 2), "\r\n");
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
