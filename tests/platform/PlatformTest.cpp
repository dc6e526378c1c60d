// The platform's own logic: settings files and the tick grid.
#include "fakes/FakeDesktop.h"
#include "platform/ProfileFile.h"
#include "platform/TickGrid.h"
#include "platform/ToolError.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace clickpath;
using namespace clickpath::platform;

namespace {

TEST(ProfileFileTest, FindsKeysByNameWithoutRegardToCaseOrBlanksInTheFirstMatchingSection)
{
    const QByteArray file = "; settings\r\n[other]\r\nSLEEP_TIME=1\r\n[ status ]\r\n  sleep_time = 5 \r\n"
                            "WAIT_CLICK_TIME=\"7\"\r\n;HORIZON_MARGIN=3\r\nEMPTY=\r\n[STATUS]\r\nVERTICAL_MARGIN=9\r\n";
    const std::pair<const char*, std::optional<QByteArray>> cases[] = {{"SLEEP_TIME", "5"}, {"WAIT_CLICK_TIME", "7"},
        {"EMPTY", ""}, {"HORIZON_MARGIN", std::nullopt}, {"VERTICAL_MARGIN", std::nullopt}};
    for (const auto& [key, value] : cases)
        EXPECT_EQ(profile::find(file, "STATUS", key), value) << key;
    EXPECT_EQ(profile::find("SLEEP_TIME=4\n", "STATUS", "SLEEP_TIME"), std::nullopt); // outside any section
}

TEST(ProfileFileTest, SettingAKeyChangesThatLineOrAddsOneAndNoOtherByte)
{
    const QByteArray head = "; keep me\r\n[Window]\r\nx = 10 ; trailing\r\n\r\n[STATUS]\r\n";
    const QByteArray file = head + "Sleep_Time=5\r\nWAIT_CLICK_TIME=7\r\n\r\n\r\n[Last]\r\na=b";
    const std::tuple<QByteArray, const char*, QByteArray> cases[] = {
        {file, "SLEEP_TIME", head + "Sleep_Time=-2.5E3\r\nWAIT_CLICK_TIME=7\r\n\r\n\r\n[Last]\r\na=b"},
        // A new key follows the section's last entry, before the blank lines.
        {file, "K", head + "Sleep_Time=5\r\nWAIT_CLICK_TIME=7\r\nK=-2.5E3\r\n\r\n\r\n[Last]\r\na=b"},
        {"", "K", "[STATUS]\r\nK=-2.5E3\r\n"},
        {"[a]\nb=c\n", "K", "[a]\nb=c\n[STATUS]\nK=-2.5E3\n"}, // the file's own line ends
        {"[a]\r\nb=c", "K", "[a]\r\nb=c\r\n[STATUS]\r\nK=-2.5E3\r\n"},
        {"[STATUS]\r\nA=1\r", "K", "[STATUS]\r\nA=1\r\nK=-2.5E3\r\n"}, // cut after its CR (found by fuzzing)
        {"[STATUS]\nA=1", "K", "[STATUS]\nA=1\nK=-2.5E3\n"},
    };
    for (const auto& [before, key, after] : cases)
        EXPECT_EQ(profile::set(before, "STATUS", key, "-2.5E3"), after) << before.toStdString();
}

TEST(ProfileFileTest, FilesAreReadCutAndWrittenWholeOrNotAtAll)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("t.ini");
    EXPECT_EQ(readProfileValue(path, "STATUS", "K", 255), QByteArray());
    fakes::writeFile(path, "[STATUS]\r\nK=" + std::string(300, '7') + "\r\n");
    EXPECT_EQ(readProfileValue(path, "STATUS", "K", 255), QByteArray(255, '7'));
    fakes::writeFile(dir.filePath("plain"), "x");
    for (const QString& bad : {dir.filePath("plain/t.ini"), dir.filePath("missing/t.ini"), dir.path()})
        EXPECT_THROW(writeProfileValue(bad, "STATUS", "K", "1"), ToolError) << bad.toStdString();
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), (QStringList{"plain", "t.ini"}));
}

// The deadlines, in ms, of ticks that begin `delays[i]` ms after their
// deadline and take `work[i]` ms, having waited on purpose or not.
std::vector<std::int64_t> deadlines(
    const std::vector<std::int64_t>& delays, std::vector<std::int64_t> work = {}, bool waited = false)
{
    constexpr std::int64_t kMs = 1'000'000;
    TickGrid grid(10 * kMs, 5);
    grid.start(0);
    work.resize(delays.size());
    std::vector<std::int64_t> out;
    std::int64_t now = 0;
    for (std::size_t i = 0; i < delays.size(); ++i) {
        out.push_back(grid.deadline() / kMs);
        now = std::max(now, grid.deadline()) + (delays[i] + work[i]) * kMs;
        grid.ticked(now, waited);
    }
    return out;
}

TEST(TickGridTest, LateTicksAreMadeUpAndLongStallsOrWaitsStartTheGridAgain)
{
    using Deadlines = std::vector<std::int64_t>;
    EXPECT_EQ(deadlines({0, 8, 0, 0}), (Deadlines{10, 20, 30, 40}));
    // A 35 ms stall: the ticks missed meanwhile fall due at once, then the
    // grid holds again; work of 1 ms per tick does not shift it either.
    EXPECT_EQ(deadlines({0, 35, 0, 0, 0, 0, 0}, {1, 1, 1, 1, 1, 1, 1}), (Deadlines{10, 20, 30, 40, 50, 60, 70}));
    // 100 ms behind is more than is made up for: one interval after the stall.
    EXPECT_EQ(deadlines({0, 100, 0}), (Deadlines{10, 20, 130}));
    // A tick slow for 30 ms is made up for too; one that waited 30 ms on
    // purpose has the next come 10 ms after it.
    EXPECT_EQ(deadlines({0, 0, 0, 0, 0}, {0, 30, 0, 0, 0}), (Deadlines{10, 20, 30, 40, 50}));
    EXPECT_EQ(deadlines({0, 0, 0, 0, 0}, {0, 30, 0, 0, 0}, true), (Deadlines{10, 20, 60, 70, 80}));
}

} // namespace
