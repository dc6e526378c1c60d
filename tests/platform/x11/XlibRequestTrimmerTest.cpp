// Qt's own X connection on a private Xvfb: Xlib's notes of Qt's requests.
#include "platform/qt/XlibRequestTrimmer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <cstddef>
#include <malloc.h>
#if defined(__SANITIZE_ADDRESS__)
// From the AddressSanitizer runtime, which replaces malloc and its figures.
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#endif

using clickpath::platform::qt::XlibRequestTrimmer;

namespace {

long long heapInUse()
{
#if defined(__SANITIZE_ADDRESS__)
    return static_cast<long long>(__sanitizer_get_current_allocated_bytes());
#else
    return static_cast<long long>(mallinfo2().uordblks);
#endif
}

// What a replay tick does to the window: a new caption, then Qt's events.
void changeCaption(QWidget& window, int times, XlibRequestTrimmer* trimmer)
{
    for (int i = 0; i < times; ++i) {
        window.setWindowTitle(QString::number(i));
        QCoreApplication::processEvents();
        if (trimmer && i % 100 == 99)
            trimmer->trimNow();
    }
}

} // namespace

TEST(XlibRequestTrimmerTest, QtsConnectionStopsGrowingWithEveryCaptionOnceTrimmed)
{
    QWidget window;
    window.show();
    XlibRequestTrimmer trimmer(0);
    ASSERT_TRUE(trimmer.trimNow()) << "Qt's xcb platform has no Xlib display here";
    changeCaption(window, 500, &trimmer); // caches reach their size
    trimmer.trimNow();

    constexpr int kTicks = 4000;
    long long before = heapInUse();
    changeCaption(window, kTicks, nullptr);
    const long long untrimmed = heapInUse() - before;
    trimmer.trimNow();

    before = heapInUse();
    changeCaption(window, kTicks, &trimmer);
    trimmer.trimNow();
    const long long trimmed = heapInUse() - before;

    // Without trims Xlib keeps a note of 24 bytes or more per caption; a little
    // of that may have been freed meanwhile.
    ASSERT_GE(untrimmed, kTicks * 16LL) << "nothing grew: this no longer shows the growth it guards against";
    EXPECT_LT(trimmed, untrimmed / 4) << "untrimmed growth was " << untrimmed << " bytes";
}
