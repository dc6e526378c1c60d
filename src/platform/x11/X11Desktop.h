#pragma once

#include "platform/Desktop.h"
#include "platform/qt/MonotonicClock.h"
#include "platform/qt/SeededRandom.h"
#include "platform/x11/QtX11Connection.h"
#include "platform/x11/X11ButtonSource.h"
#include "platform/x11/X11Pointer.h"

namespace clickpath::platform::x11 {

// An X11 session: XTEST moves and clicks, XInput2's raw events the buttons,
// XQueryPointer the position, a passive grab the stop key. An X server
// takes its input only while its session is in front, so the session needs
// no watch.
class X11Desktop final : public Desktop {
public:
    // Throws a ToolError when the display or its XTEST extension cannot be had.
    explicit X11Desktop(MessageSink& messages);

    Services services() override;
    std::unique_ptr<Hold> grabStopKey(const QString& key, std::function<void()> pressed) override;
    std::unique_ptr<Hold> watchWindowLoss(unsigned long window, std::function<void()> lost) override;
    void flushWindow() override { flushQtConnection(); }

private:
    MessageSink& messages_;
    X11Pointer pointer_;
    SessionWatch session_;
    qt::MonotonicClock clock_;
    qt::SeededRandom random_;
    XlibRequestTrimmer trimmer_; // Qt's own connection, where it is Xlib's
    // The buttons' connection, which the stop key's grab shares: one
    // connection less to the server, and its buffers.
    X11ButtonSource buttons_;
};

} // namespace clickpath::platform::x11
