#pragma once

#include <memory>
#include <string>
#include <vector>

struct _XDisplay;

namespace clickpath::platform::x11 {

struct DisplayCloser {
    void operator()(_XDisplay* display) const;
};

// An Xlib connection that closes itself.
using DisplayPtr = std::unique_ptr<_XDisplay, DisplayCloser>;

// Opens a connection to $DISPLAY; a ToolError that names the display when
// there is none.
DisplayPtr openDisplay();
// Opens one and lets go again, so that a display that cannot be reached is
// said before Qt would end the program on it.
inline void checkX11Display()
{
    openDisplay();
}

// Runs the requests sent so far and turns an X error among them into a
// ToolError naming `what`. Xlib's default error handler would end the
// process; the tool's handler only records the error for this check.
void syncAndCheck(_XDisplay* display, const std::string& what);

// Installs the recording error handler once per process.
void installErrorTrap();

// The pointer's button map: the logical button (1 primary, 3 secondary) of
// each physical one, from 1 (index 0). A left-handed desk swaps 1 and 3.
std::vector<unsigned char> pointerMapping(_XDisplay* display);
// The physical button that the map makes `logical`; `logical` itself when
// none does.
unsigned int physicalButton(const std::vector<unsigned char>& mapping, unsigned int logical);

} // namespace clickpath::platform::x11
