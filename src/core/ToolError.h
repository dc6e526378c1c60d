#pragma once

#include <stdexcept>
#include <string>

namespace clickpath {

// A run-time error: a file, the desktop or a number that cannot be used. It
// ends the handler at the failing operation and reaches the window, which
// shows its text in a message; a playback step that meets one ends its pass.
class ToolError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace clickpath
