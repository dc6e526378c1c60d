#pragma once

#include "fakes/FakeDesktop.h"

#include <QProcess>

struct _XDisplay;

namespace clickpath::fakes {

// A second client of the display, acting and looking as a user would: moves
// and clicks through XTEST, and a full-screen input window above everything
// that sees every motion and button event where it happens.
class XUser {
public:
    // Without `watching`, it acts only and sees no event.
    explicit XUser(bool watching = true);
    ~XUser();
    // What the pointer did since the last call, as a trail: "10,20 P 12,22 R"
    // (moves, and presses and releases of button 1).
    QString take();
    unsigned int buttonsDown(); // a bitmask, 0 for none
    void moveTo(int x, int y);
    void button(unsigned int button, bool down);
    void click(unsigned int which) { button(which, true), button(which, false); }
    // A top-level window by its title, 0 while there is none.
    unsigned long findWindow(const QString& title);
    // Clicks the left button at a place of the window.
    void clickInWindow(unsigned long window, int x, int y);
    // What other programs can do to a window: destroy it, or cut the
    // connection of the client that made it (as xkill does).
    void destroyWindow(unsigned long window);
    void killClientOf(unsigned long window);

private:
    _XDisplay* display_ = nullptr;
    unsigned long window_ = 0; // kept free of Xlib's macros, which clash with Qt
};

// Waits until `done` or the time is up; false when it is up.
bool pumpUntil(const std::function<bool()>& done, int milliseconds);

// A program run to its end: its exit status (128 and the signal when a signal
// ended it, 137 when it was killed for taking longer than `milliseconds`),
// and what it said on standard error, or on both channels when merged.
struct Outcome {
    int exitCode = -1;
    QString said;
};
Outcome finish(QProcess& program, int milliseconds = 60000);
Outcome run(const QString& program, const QStringList& arguments);

} // namespace clickpath::fakes
