#include "platform/TickGrid.h"

#include <gtest/gtest.h>

#include <vector>

using clickpath::platform::TickGrid;

namespace {

constexpr std::int64_t kMs = 1'000'000;

// Runs ticks that each take `work` ms and begin `delay[i]` ms after their
// deadline; returns the deadlines, in ms since the start.
std::vector<std::int64_t> deadlines(const std::vector<std::int64_t>& delays, std::int64_t work = 0)
{
    TickGrid grid(10 * kMs, 5);
    grid.start(0);
    std::vector<std::int64_t> out;
    std::int64_t now = 0;
    for (const std::int64_t delay : delays) {
        out.push_back(grid.deadline() / kMs);
        now = std::max(now, grid.deadline()) + delay * kMs;
        grid.ticked(now, now + work * kMs);
        now += work * kMs;
    }
    return out;
}

} // namespace

TEST(TickGridTest, LateTicksDoNotShiftTheGrid)
{
    EXPECT_EQ(deadlines({0, 0, 0, 0}), (std::vector<std::int64_t>{10, 20, 30, 40}));
    // One tick 8 ms late: the next is still due on the grid.
    EXPECT_EQ(deadlines({0, 8, 0, 0}), (std::vector<std::int64_t>{10, 20, 30, 40}));
    // A 35 ms stall: the ticks missed meanwhile fall due at once, then the
    // grid holds again; work of 1 ms per tick does not shift it either.
    EXPECT_EQ(deadlines({0, 35, 0, 0, 0, 0, 0}, 1), (std::vector<std::int64_t>{10, 20, 30, 40, 50, 60, 70}));
}

TEST(TickGridTest, StartsAgainAfterALongStallOrATickThatWaited)
{
    // 100 ms behind is more than is made up for: one interval after the stall.
    EXPECT_EQ(deadlines({0, 100, 0}), (std::vector<std::int64_t>{10, 20, 130}));
    // A tick that waits 30 ms inside itself: the next comes 10 ms after it
    // returned, not at once to catch up.
    EXPECT_EQ(deadlines({0, 0, 0}, 30), (std::vector<std::int64_t>{10, 50, 90}));

    TickGrid grid(10 * kMs, 5);
    grid.start(1000 * kMs);
    EXPECT_EQ(grid.deadline(), 1010 * kMs);
}
