// The platform's own logic: settings files and the tick grid.
#include "fakes/FakeDesktop.h"
#include "platform/ProfileFile.h"
#include "platform/TickGrid.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace clickpath;
using namespace clickpath::platform;

namespace {

TEST(ProfileFileTest, FindsKeysWithoutRegardToCaseOrBlanksInTheFirstMatchingSectionAndSetsThemInPlace)
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
        {"[STATUS]\r\nA=1\r", "[STATUS]\r\nA=1\r\nK=2\r\n"}, {"[STATUS]\nA=1", "[STATUS]\nA=1\nK=2\n"}};
    for (const auto& [before, after] : added) // in the file's own line ends, whole lines
        EXPECT_EQ(profile::set(before, "STATUS", "K", "2"), after) << before.toStdString();
}

TEST(ProfileFileTest, FilesAreReadCutAndWrittenWholeOrNotAtAll)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("t.ini");
    EXPECT_EQ(readProfileValue(path, "STATUS", "K", 255), QByteArray());
    fakes::writeFile(path, "[STATUS]\r\nK=" + std::string(300, '7') + "\r\n");
    EXPECT_EQ(readProfileValue(path, "STATUS", "K", 255), QByteArray(255, '7'));
    fakes::writeFile(dir.filePath("plain"), "x");
    for (const QString& bad : {dir.filePath("plain/t.ini"), dir.filePath("missing/t.ini"), dir.path()}) {
        const std::string said = fakes::errorOf<ToolError>([&] { writeProfileValue(bad, "STATUS", "K", "1"); });
        EXPECT_EQ(said.rfind("Cannot store the settings in " + bad.toStdString() + ": ", 0), 0u) << said;
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), (QStringList{"plain", "t.ini"}));
}

// The deadlines, in ms, of ticks that begin `delays[i]` ms after their
// deadline and take `work[i]` ms, having waited on purpose or not.
std::vector<std::int64_t> deadlines(std::vector<std::int64_t> delays, std::vector<std::int64_t> work, bool waited)
{
    constexpr std::int64_t kMs = 1'000'000;
    TickGrid grid(10 * kMs, 5);
    grid.start(0);
    std::vector<std::int64_t> out;
    for (std::int64_t i = 0, now = 0; i < static_cast<std::int64_t>(delays.size()); ++i) {
        out.push_back(grid.deadline() / kMs);
        now = std::max(now, grid.deadline()) + (delays[i] + work[i]) * kMs;
        grid.ticked(now, waited);
    }
    return out;
}

TEST(TickGridTest, LateTicksAreMadeUpAndLongStallsOrWaitsStartTheGridAgain)
{
    using Deadlines = std::vector<std::int64_t>;
    // Five ticks behind (59 ms late, 1 ms of work) or a tick slow for 30 ms: the missed ones follow at once.
    EXPECT_EQ(deadlines({0, 59, 0, 0, 0, 0}, {1, 1, 1, 1, 1, 1}, false), (Deadlines{10, 20, 30, 40, 50, 60}));
    EXPECT_EQ(deadlines({0, 0, 0, 0, 0}, {0, 30, 0, 0, 0}, false), (Deadlines{10, 20, 30, 40, 50}));
    // 100 ms behind is more than is made up for: one interval after the stall.
    EXPECT_EQ(deadlines({0, 100, 0}, {0, 0, 0}, false), (Deadlines{10, 20, 130}));
    // A tick that waited 30 ms on purpose has the next come 10 ms after it.
    EXPECT_EQ(deadlines({0, 0, 0, 0, 0}, {0, 30, 0, 0, 0}, true), (Deadlines{10, 20, 60, 70, 80}));
}

} // namespace
