#pragma once

// The benchmark's own view of the display: acting like a user through XTEST,
// watching raw pointer motion with server timestamps, and looking at pixels.

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

struct _XDisplay;

namespace bench {

struct Motion {
    std::uint32_t serverMs; // server time of the move
    double x;
    double y;
};

class XDesk {
public:
    XDesk();
    ~XDesk();
    XDesk(const XDesk&) = delete;
    XDesk& operator=(const XDesk&) = delete;

    void moveTo(int x, int y);
    void click(unsigned int button);
    // Presses or releases the left button where the pointer is.
    void pressAt(bool down);
    // Bitmask of the buttons held now.
    unsigned int buttonsDown();
    // How many mapped top-level windows carry this title.
    int windowsTitled(const std::string& title);
    std::pair<int, int> pointer();

    // Raw pointer motion since the last call, in order.
    std::vector<Motion> takeMotion();
    // Discards raw motion until none has come for 200 ms.
    void drainMotion();
    // The server's clock now, in ms (same clock as Motion::serverMs).
    std::uint32_t serverNow();

    // The top-level window with this title, once mapped: its root origin.
    std::optional<std::pair<int, int>> windowOrigin(const std::string& title);
    // Pixels of a rectangle of the screen darker than a quarter of full scale.
    int darkPixels(int x, int y, int width, int height);

private:
    std::vector<std::pair<int, int>> originsOf(const std::string& title);

    _XDisplay* display_ = nullptr; // acting and looking
    _XDisplay* watcher_ = nullptr; // raw motion
    unsigned long timeWindow_ = 0; // for server timestamps
    int xiOpcode_ = 0;
};

} // namespace bench
