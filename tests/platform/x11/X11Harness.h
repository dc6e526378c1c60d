#pragma once

#include "app/Form1.h"
#include "app/Form1Window.h"
#include "fakes/FakeDesktop.h"
#include "platform/RealDesktop.h"

#include <functional>
#include <optional>
#include <utility>
#include <vector>

struct _XDisplay;

namespace clickpath::fakes {

// A second client of the display, acting and looking as a user would: moves
// and clicks through XTEST and, with `watch`, a full-screen input window
// above everything that sees every motion and button event where it happens.
class XUser {
public:
    explicit XUser(bool watch = true);
    ~XUser();
    XUser(const XUser&) = delete;
    XUser& operator=(const XUser&) = delete;

    // Motion, presses and releases of button 1 seen so far, in root pixels;
    // moves onto the spot where the pointer already stands left out.
    std::vector<InputEvent> take();
    // Bitmask of the buttons held now (0 = none).
    unsigned int buttonsDown();
    void moveTo(int x, int y);
    void button(unsigned int button, bool down);
    void click(unsigned int which);
    // The root position of the top-level window with this title, if mapped.
    std::optional<std::pair<int, int>> windowOrigin(const char* title);

private:
    _XDisplay* display_ = nullptr;
    unsigned long window_ = 0; // kept free of Xlib's macros, which clash with Qt
};

// The tool as main() builds it, on the real desktop, with messages and
// dialogs kept in the test.
struct RealTool {
    explicit RealTool(const QString& dir, const char* boxes = nullptr);

    // Runs the event loop, as the tool's own would, until `done` or the time is up.
    static bool pumpUntil(const std::function<bool()>& done, int milliseconds);
    static void runFor(int milliseconds)
    {
        pumpUntil([] { return false; }, milliseconds);
    }
    bool commandsEnabled() const;
    bool playing() const { return window.tick(core::Tick::Playback).isActive() || form.player().stepRunning(); }

    FakeMessages messages;
    FakeFileDialog dialog;
    platform::RealDesktop desktop{messages};
    app::Form1Window window{"clickpath"};
    app::Form1 form;
};

} // namespace clickpath::fakes
