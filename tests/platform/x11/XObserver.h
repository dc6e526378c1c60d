#pragma once

#include "fakes/Fakes.h"

struct _XDisplay;

#include <optional>
#include <utility>
#include <vector>

namespace clickpath::fakes {

// A second client of the display: a full-screen input window that sees every
// motion and button event where it happens, plus a few XTEST helpers to act
// like a user. Without `watch` there is no input window, so clicks reach the
// windows under the pointer.
class XObserver {
public:
    explicit XObserver(bool watch = true);
    ~XObserver();
    XObserver(const XObserver&) = delete;
    XObserver& operator=(const XObserver&) = delete;

    // Motion, presses and releases of button 1 seen so far, in root pixels.
    std::vector<InputEvent> take();
    bool pointerAt(int x, int y);
    // Bitmask of the buttons held now (0 = none).
    unsigned int buttonsDown();
    // As a user would: move, press and release through XTEST.
    void moveTo(int x, int y);
    void button(unsigned int button, bool down);
    void click(unsigned int button);
    // The root position of the top-level window with this title, if mapped.
    std::optional<std::pair<int, int>> windowOrigin(const char* title);

private:
    _XDisplay* display_ = nullptr;
    unsigned long window_ = 0; // kept free of Xlib's macros, which clash with Qt
};

} // namespace clickpath::fakes
