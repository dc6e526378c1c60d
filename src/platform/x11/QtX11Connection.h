#pragma once

#include <QAbstractNativeEventFilter>
#include <QTimer>

#include <functional>

struct _XDisplay;

namespace clickpath::platform::x11 {

// Sends what Qt has queued for the X server now. The window manager draws
// the caption, and sees a new one only once Qt's connection is flushed, which
// Qt itself would do only when idle. Does nothing off X11.
void flushQtConnection();

// Calls `lost` once when the X server destroys a window of Qt's connection
// from outside (another client's XDestroyWindow, as xdotool's windowclose
// does): Qt would go on running without it, invisible and unstoppable.
class WindowLossWatch final : public QAbstractNativeEventFilter {
public:
    WindowLossWatch(unsigned long window, std::function<void()> lost);
    ~WindowLossWatch() override;
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    unsigned long window_;
    std::function<void()> lost_;
};

// Keeps Xlib's bookkeeping for Qt's own X connection from growing without end.
//
// Qt opens that connection through Xlib and lets XCB own its event queue.
// Each time Qt flushes it (after every batch of events), Xlib notes every
// request sent since the last flush, and drops those notes only while it waits
// for a reply of its own, which Qt hardly ever asks for. A window that changes
// its caption and repaints a label at every 10 ms tick so gains about 3 kB a
// second, for as long as it runs. A round trip now and then lets Xlib drop them.
class XlibRequestTrimmer final {
public:
    // Trims every `intervalMs` milliseconds from now on; 0 leaves it to trimNow().
    explicit XlibRequestTrimmer(int intervalMs = 1000);

    // One round trip on Qt's connection now. False when Qt runs without an
    // Xlib display (another platform, or Qt built without Xlib).
    bool trimNow();

private:
    _XDisplay* display_ = nullptr;
    QTimer timer_;
};

} // namespace clickpath::platform::x11
