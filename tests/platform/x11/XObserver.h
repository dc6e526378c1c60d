#pragma once

#include "fakes/Fakes.h"

struct _XDisplay;

#include <vector>

namespace clickpath::fakes {

// A second client of the display: a full-screen input window that sees every
// motion and button event where it happens, plus a few XTEST helpers to act
// like a user.
class XObserver {
public:
    XObserver();
    ~XObserver();
    XObserver(const XObserver&) = delete;
    XObserver& operator=(const XObserver&) = delete;

    // Motion, presses and releases of button 1 seen so far, in root pixels.
    std::vector<InputEvent> take();
    // Bitmask of the buttons held now (0 = none).
    unsigned int buttonsDown();
    // As a user would: move, press and release through XTEST.
    void moveTo(int x, int y);
    void button(unsigned int button, bool down);

private:
    _XDisplay* display_ = nullptr;
    unsigned long window_ = 0; // kept free of Xlib's macros, which clash with Qt
};

} // namespace clickpath::fakes
