// The installed programs: a folder of their own with links on the PATH, a launcher, man pages and metainfo that
// their validators accept, default settings; started through its link, a program works on the files beside it.
#include "fakes/FakeDesktop.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace clickpath::fakes;

TEST(InstallTest, InstallsBothProgramsWithLinksALauncherManPagesMetainfoAndSettings)
{
    QTemporaryDir prefix;
    const auto installed = [&](const QString& relative) { return QDir(prefix.path()).filePath(relative); };
    const auto install = [&] { return run("cmake", {"--install", CLICKPATH_BUILD_DIR, "--prefix", prefix.path()}); };
    ASSERT_EQ(install().exitCode, 0);
    for (const QString program : {"clickpath", "clickpath-cli"})
        EXPECT_EQ(QFileInfo(installed("bin/" + program)).symLinkTarget(), installed("lib/clickpath/" + program));
    EXPECT_NE(readFile(installed("lib/clickpath/70-clickpath.rules")).find("TAG+=\"uaccess\""), std::string::npos);
    const QString desktop = installed("share/applications/clickpath.desktop");
    EXPECT_NE(readFile(desktop).find("Exec=" + installed("bin/clickpath").toStdString() + "\n"), std::string::npos);
    // Each validator accepts its file without a word (desktop-file-validate speaks on standard output).
    const Outcome checked = run("sh",
        {"-ec",
            "desktop-file-validate \"$1\" >&2; appstreamcli validate --no-net \"$2\" >/dev/null\n"
            "for page in clickpath clickpath-cli; do MANWIDTH=80 man --warnings -l \"$3/$page.1\" >/dev/null; done",
            "sh", desktop, installed("share/metainfo/org.clickpath.clickpath.metainfo.xml"),
            installed("share/man/man1")});
    EXPECT_EQ(checked.exitCode, 0) << checked.said.toStdString();
    EXPECT_EQ(checked.said, "");
    // Default settings for a first start, never over the user's own.
    const QString settings = installed("lib/clickpath/clickpath.ini");
    EXPECT_NE(readFile(settings).find("WAIT_FIRST_TIME=10\r\n"), std::string::npos);
    writeFile(settings, "[STATUS]\r\nSLEEP_TIME=0\r\n");
    install();
    EXPECT_EQ(readFile(settings), "[STATUS]\r\nSLEEP_TIME=0\r\n");
    // Through its link, with the working recording and the settings (the sleep) of lib/clickpath/.
    writeFile(installed("lib/clickpath/clickpath.txt"), "1,1,0\r\n");
    const QStringList zeros{
        "--click-wait", "0", "--vertical-margin", "0", "--horizontal-margin", "0", "--first-wait", "0"};
    EXPECT_EQ(run(installed("bin/clickpath-cli"), QStringList{"play"} + zeros).exitCode, 0);
    // The completion in a plain bash, without bash-completion's helpers: commands, options and file names.
    writeFile(installed("walk.txt"), "");
    for (const auto& [line, completed] : {std::pair{"clickpath-cli pl", "play"},
             {"clickpath-cli record --d", "--delay"}, {"clickpath-cli info wa", "walk.txt"}}) {
        QProcess bash;
        bash.start("bash",
            {"--norc", "--noprofile", "-c",
                "cd \"$1\" && . \"$2\" && COMP_WORDS=($3) && COMP_CWORD=$((${#COMP_WORDS[@]} - 1)) && "
                "_clickpath_cli && echo \"${COMPREPLY[*]}\"",
                "bash", prefix.path(), installed("share/bash-completion/completions/clickpath-cli"), line});
        const Outcome ended = finish(bash);
        EXPECT_EQ(bash.readAllStandardOutput().trimmed(), completed) << line << ": " << ended.said;
    }
}
