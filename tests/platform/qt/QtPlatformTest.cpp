#include "platform/qt/GridTimer.h"
#include "platform/qt/QtFileDialog.h"
#include "platform/qt/QtServices.h"

#include <QCoreApplication>
#include <QTimer>

#include <gtest/gtest.h>

using namespace clickpath::platform::qt;

namespace {

TEST(QtFileDialogTest, FilterBecomesQtNameFiltersWithoutRepeatingThePattern)
{
    EXPECT_EQ(QtFileDialog::nameFilters("テキスト ファイル (*.txt)|*.txt"), QStringList{"テキスト ファイル (*.txt)"});
    EXPECT_EQ(QtFileDialog::nameFilters("Text|*.txt|All|*"), (QStringList{"Text (*.txt)", "All (*)"}));
}

TEST(GridTimerTest, ATickIsNotReenteredWhileItPumpsEvents)
{
    // The playback tick pumps events inside a wait; the timer must not
    // deliver its next tick into that pumping.
    QtEventPump pump;
    GridTimer timer(10);
    int entries = 0;
    int nested = 0;
    bool inside = false;
    int otherTicks = 0;
    QTimer other; // events of other sources still run inside the pumping
    QObject::connect(&other, &QTimer::timeout, [&] { ++otherTicks; });
    timer.onTimeout([&] {
        ++entries;
        if (inside) {
            ++nested;
            return;
        }
        inside = true;
        for (int i = 0; i < 15; ++i)
            pump.pumpOnce(); // blocks at most 10 ms each: well past one interval
        inside = false;
        timer.stop();
    });
    other.start(5);
    timer.start();
    while (timer.isActive())
        pump.pumpOnce();
    EXPECT_EQ(nested, 0);
    EXPECT_EQ(entries, 1);
    EXPECT_GT(otherTicks, 0);
}

TEST(GridTimerTest, ATickMayStopOrRestartItsOwnTimer)
{
    // A pass that ends stops the timer; a looped pass starts it again from
    // within the same tick.
    QtEventPump pump;
    GridTimer timer(10);
    int ticks = 0;
    timer.onTimeout([&] {
        ++ticks;
        timer.stop();
        if (ticks < 3)
            timer.start();
    });
    timer.start();
    for (int i = 0; i < 20 && timer.isActive(); ++i)
        pump.pumpOnce();
    EXPECT_EQ(ticks, 3);
    EXPECT_FALSE(timer.isActive());
}

TEST(MonotonicClockTest, StartsNearZeroAndNeverGoesBack)
{
    MonotonicClock clock;
    double last = clock.seconds();
    EXPECT_LT(last, 1.0);
    for (int i = 0; i < 1000; ++i) {
        const double now = clock.seconds();
        EXPECT_GE(now, last);
        last = now;
    }
}

TEST(SeededRandomTest, DrawsStayInTheHalfOpenUnitIntervalAndDiffer)
{
    SeededRandom random;
    double previous = -1;
    int repeats = 0;
    for (int i = 0; i < 100000; ++i) {
        const double r = random.next();
        ASSERT_GE(r, 0.0);
        ASSERT_LT(r, 1.0);
        repeats += r == previous;
        previous = r;
    }
    EXPECT_EQ(repeats, 0);
}

} // namespace
