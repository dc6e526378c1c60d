// The installed programs: a folder of their own with links on the PATH, a
// launcher, man pages and metainfo that their validators accept; started
// through its link on a private Xvfb, the window records beside the real
// executable.
#include "fakes/FakeDesktop.h"
#include "platform/x11/X11Harness.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>

#include <gtest/gtest.h>

using namespace clickpath::fakes;

namespace {

// Runs a program to its end: its exit code (-1 when it crashed), and what it
// said on standard error, or also on standard output with `output`.
std::pair<int, QString> run(const QString& program, const QStringList& arguments, bool output = true)
{
    QProcess process;
    process.setProcessChannelMode(output ? QProcess::MergedChannels : QProcess::SeparateChannels);
    process.setProcessEnvironment([] {
        auto environment = QProcessEnvironment::systemEnvironment();
        environment.insert("MANWIDTH", "80");
        return environment;
    }());
    process.start(program, arguments);
    process.waitForFinished(120000);
    const QString said = QString::fromLocal8Bit(output ? process.readAll() : process.readAllStandardError());
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, said};
}

class InstallTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        const auto [exitCode, said] = run("cmake", {"--install", CLICKPATH_BUILD_DIR, "--prefix", prefix.path()});
        ASSERT_EQ(exitCode, 0) << said.toStdString();
    }
    static QString installed(const QString& relative) { return QDir(prefix.path()).filePath(relative); }

    static inline QTemporaryDir prefix;
};

TEST_F(InstallTest, InstallsBothProgramsWithLinksALauncherManPagesAndMetainfo)
{
    for (const QString program : {"clickpath", "clickpath-cli"}) {
        EXPECT_TRUE(QFileInfo(installed("lib/clickpath/" + program)).isExecutable());
        EXPECT_EQ(QFileInfo(installed("bin/" + program)).symLinkTarget(), installed("lib/clickpath/" + program));
    }
    EXPECT_EQ(run(installed("bin/clickpath-cli"), {"--version"}), std::pair(0, QString("clickpath-cli 0.1\n")));
    EXPECT_TRUE(QFile::exists(installed("share/icons/hicolor/scalable/apps/clickpath.svg")));
    // Default settings for a first start, never over the user's own.
    const QString settings = installed("lib/clickpath/clickpath.ini");
    EXPECT_EQ(readFile(settings),
        "[STATUS]\r\nSLEEP_TIME=30\r\nWAIT_CLICK_TIME=5\r\nVERTICAL_MARGIN=4\r\n"
        "HORIZON_MARGIN=6\r\nWAIT_FIRST_TIME=10\r\n");
    writeFile(settings, "[STATUS]\r\nSLEEP_TIME=1\r\n");
    SetUpTestSuite();
    EXPECT_EQ(readFile(settings), "[STATUS]\r\nSLEEP_TIME=1\r\n");
    const QString desktop = installed("share/applications/clickpath.desktop");
    EXPECT_NE(readFile(desktop).find("Exec=" + installed("bin/clickpath").toStdString() + "\n"), std::string::npos);
    // Each validator accepts its file without a word.
    const std::pair<QString, QStringList> checks[] = {{"desktop-file-validate", {desktop}},
        {"appstreamcli", {"validate", "--no-net", installed("share/metainfo/org.clickpath.clickpath.metainfo.xml")}},
        {"man", {"--warnings", "-l", installed("share/man/man1/clickpath.1")}},
        {"man", {"--warnings", "-l", installed("share/man/man1/clickpath-cli.1")}}};
    for (const auto& [validator, arguments] : checks) {
        const auto [exitCode, said] = run(validator, arguments, validator == "desktop-file-validate");
        EXPECT_EQ(exitCode, 0) << validator.toStdString() << ": " << said.toStdString();
        EXPECT_TRUE(said.isEmpty()) << said.toStdString();
    }
}

TEST_F(InstallTest, StartedThroughTheLinkTheWindowRecordsBesideTheRealExecutable)
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
