#pragma once

#include "app/Form1.h"
#include "app/Form1Window.h"
#include "fakes/Fakes.h"
#include "platform/qt/QtServices.h"
#include "platform/x11/X11ButtonSource.h"
#include "platform/x11/X11Pointer.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTimer>

#include <functional>

namespace clickpath::fakes {

// The tool as main() builds it, with the X11 pointer and Qt's clock and pump,
// but messages and dialogs kept in the test.
class RealTool {
public:
    explicit RealTool(const QString& dir)
        : form(window,
            app::Services{pointer, pointer, clock, random, pump, messages, files, dialog, copier,
                [] { return std::make_unique<platform::x11::X11ButtonSource>(); }},
            app::AppPaths(dir, "clickpath"))
    {
        window.connectHandlers(form);
        form.Form_Load();
    }

    // Runs the event loop, as the tool's own would, until `done` or the time is up.
    static bool pumpUntil(const std::function<bool()>& done, int milliseconds)
    {
        QDeadlineTimer deadline(milliseconds);
        QTimer wake; // bounds each blocking wait for events
        wake.start(5);
        while (!done() && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        return done();
    }
    static void runFor(int milliseconds)
    {
        pumpUntil([] { return false; }, milliseconds);
    }
    // Runs until the timer stops; false when it still runs after the time.
    bool runWhile(app::TimerId timer, int milliseconds)
    {
        return pumpUntil([&] { return !window.timer(timer)->isActive(); }, milliseconds);
    }

    app::Form1Window window;
    platform::x11::X11Pointer pointer;
    platform::qt::MonotonicClock clock;
    platform::qt::SeededRandom random;
    platform::qt::QtEventPump pump;
    FakeMessageSink messages;
    FakeFileDialog dialog;
    platform::AtomicFileCopier copier;
    platform::FileTable files;
    app::Form1 form;
};

} // namespace clickpath::fakes
