// The POSIX side of the platform: the settings file's reader and writer, the stop doors' folder.
#include "fakes/FakeDesktop.h"
#include "platform/posix/ProfileFile.h"
#include "platform/posix/StopDoor.h"

#include <QDir>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

using namespace clickpath;
using namespace clickpath::platform;

namespace {

TEST(ProfileFileTest, FindsKeysRegardlessOfCaseOrBlanksInTheFirstMatchingSectionSetsThemInPlaceAndWritesWholeFiles)
{
    const QByteArray file
        = "; s\r\n[other]\r\n[status\r\nSLEEP_TIME=1\r\n[ status ]\r\n  sleep_time = 5 \r\nWAIT_CLICK_TIME=\"7\"\r\n"
          ";HORIZON_MARGIN=3\r\nEMPTY=\r\n\r\n\r\n[STATUS]\r\nVERTICAL_MARGIN=9\r\n";
    const std::pair<const char*, std::optional<QByteArray>> found[] = {{"SLEEP_TIME", "5"}, {"WAIT_CLICK_TIME", "7"},
        {"EMPTY", ""}, {"HORIZON_MARGIN", std::nullopt}, {"VERTICAL_MARGIN", std::nullopt}};
    for (const auto& [key, value] : found)
        EXPECT_EQ(profile::find(file, "STATUS", key), value) << key;
    EXPECT_EQ(profile::find("K=4\n", "STATUS", "K"), std::nullopt); // outside any section
    EXPECT_EQ(profile::find("\n[STATUS]\nK=4\n", "STATUS", "K"), "4");
    // A key keeps its line and spelling; a new one follows the section's last entry, before its blank lines.
    EXPECT_EQ(
        profile::set(file, "status", "Sleep_Time", "2"), QByteArray(file).replace("  sleep_time = 5 ", "sleep_time=2"));
    EXPECT_EQ(profile::set(file, "STATUS", "K", "2"), QByteArray(file).replace("EMPTY=\r\n", "EMPTY=\r\nK=2\r\n"));
    const std::pair<QByteArray, QByteArray> added[] = {{"", "[STATUS]\r\nK=2\r\n"},
        {"[a]\nb=c\n", "[a]\nb=c\n[STATUS]\nK=2\n"}, {"[a]\r\nb=c", "[a]\r\nb=c\r\n[STATUS]\r\nK=2\r\n"},
        {"[STATUS]\r\nA=1\r", "[STATUS]\r\nA=1\r\nK=2\r\n"}, {"[STATUS]\nA=1", "[STATUS]\nA=1\nK=2\n"},
        {"[a]\r\nb=c\r", "[a]\r\nb=c\r\n[STATUS]\r\nK=2\r\n"}, {"\n", "\n[STATUS]\nK=2\n"}};
    for (const auto& [before, after] : added) // in the file's own line ends, whole lines
        EXPECT_EQ(profile::set(before, "STATUS", "K", "2"), after) << before.toStdString();
    QTemporaryDir dir;
    const QString path = dir.filePath("t.ini");
    EXPECT_EQ(readProfileValue(path, "STATUS", "K", 255), QByteArray());
    fakes::writeFile(path, "[STATUS]\r\nK=" + std::string(300, '7') + "\r\n");
    EXPECT_EQ(readProfileValue(path, "STATUS", "K", 255), QByteArray(255, '7'));
    fakes::writeFile(path, std::string("[STATUS]\r\nK=\0 7\r\n", 15)); // a value ends at a NUL byte
    EXPECT_EQ(readProfileValue(path, "STATUS", "K", 255), QByteArray());
    fakes::writeFile(dir.filePath("plain"), "x");
    for (const QString& bad : {dir.filePath("plain/t.ini"), dir.filePath("missing/t.ini"), dir.path()}) {
        const std::string said = fakes::errorOf<ToolError>([&] { writeProfileValue(bad, "STATUS", "K", "1"); });
        EXPECT_EQ(said.rfind("Cannot store the settings in " + bad.toStdString() + ": ", 0), 0u) << said;
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), (QStringList{"plain", "t.ini"}));
}

// The doors' folder is the user's own and closed to others, or there is none: a file, an open folder or a link
// in its place is refused, not used.
TEST(StopDoorTest, TheDoorsFolderIsMadeClosedToOthersAndWhatElseStandsInItsPlaceIsRefused)
{
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    const std::pair<const char*, std::function<void(const std::string&)>> places[]
        = {{"nothing there", [](const std::string&) {}},
            {"a file", [](const std::string& at) { ::close(::open(at.c_str(), O_CREAT | O_WRONLY, 0600)); }},
            {"a folder others may enter", [](const std::string& at) { ::mkdir(at.c_str(), 0755); }},
            {"a link to a closed folder", [](const std::string& at) {
                 (::mkdir((at + "-real").c_str(), 0700), ::symlink((at + "-real").c_str(), at.c_str()));
             }}};
    for (const auto& [name, put] : places) {
        SCOPED_TRACE(name);
        QTemporaryDir dir;
        qputenv("XDG_RUNTIME_DIR", dir.path().toUtf8());
        const std::string at = dir.filePath("clickpath").toStdString();
        put(at);
        const bool given = posix::stopDoorFolder() == at;
        EXPECT_EQ(given, std::string(name) == "nothing there");
        struct stat made {};
        EXPECT_TRUE(!given || (::stat(at.c_str(), &made) == 0 && (made.st_mode & 0777) == 0700));
    }
    qputenv("XDG_RUNTIME_DIR", runtime);
}

} // namespace
