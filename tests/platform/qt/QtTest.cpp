// Qt's side of the platform that belongs to no desktop: the tick grid and the file dialogs' filters.
#include "platform/qt/QtFileDialog.h"
#include "platform/qt/TickGrid.h"

#include <QStringList>

#include <gtest/gtest.h>

using namespace clickpath::platform;
using qt::QtFileDialog;

namespace {

// The deadlines, in ms, of ticks that begin `delays[i]` ms late and take `work[i]` ms.
QString deadlines(std::vector<std::int64_t> delays, std::vector<std::int64_t> work)
{
    constexpr std::int64_t kMs = 1'000'000;
    qt::TickGrid grid(10 * kMs, 5);
    grid.start(0);
    QStringList out;
    for (std::int64_t i = 0, now = 0; i < static_cast<std::int64_t>(delays.size()); ++i) {
        out << QString::number(grid.deadline() / kMs);
        grid.ticked(now = std::max(now, grid.deadline()) + (delays[i] + work[i]) * kMs);
    }
    return out.join(' ');
}

TEST(TickGridTest, LateTicksAreMadeUpAndLongStallsStartTheGridAgain)
{
    // Five ticks behind (59 ms late, 1 ms of work) or a tick slow for 30 ms: the missed ones follow at once.
    EXPECT_EQ(deadlines({0, 59, 0, 0, 0, 0}, {1, 1, 1, 1, 1, 1}), "10 20 30 40 50 60");
    EXPECT_EQ(deadlines({0, 0, 0, 0, 0}, {0, 30, 0, 0, 0}), "10 20 30 40 50");
    // 100 ms behind is more than is made up for: one interval after the stall.
    EXPECT_EQ(deadlines({0, 100, 0}, {0, 0, 0}), "10 20 130");
}

TEST(QtFileDialogTest, TheFiltersOfTheWindowsFormBecomeQtsNameFilters)
{
    EXPECT_EQ(QtFileDialog::nameFilters("テキスト ファイル (*.txt)|*.txt|All|*"),
        (QStringList{"テキスト ファイル (*.txt)", "All (*)"}));
}

} // namespace
