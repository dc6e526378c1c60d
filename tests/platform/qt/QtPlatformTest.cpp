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

TEST(QtEventPumpTest, ATimerIsNotReenteredWhileItsSlotPumpsEvents)
{
    // The playback timer's slot pumps events inside a wait; Qt must not
    // deliver the same timer's tick into that pumping.
    QtEventPump pump;
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    timer.setInterval(10);
    int entries = 0;
    int nested = 0;
    bool inside = false;
    int otherTicks = 0;
    QTimer other; // events of other sources still run inside the pumping
    QObject::connect(&other, &QTimer::timeout, [&] { ++otherTicks; });
    QObject::connect(&timer, &QTimer::timeout, [&] {
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
