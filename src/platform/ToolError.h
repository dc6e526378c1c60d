#pragma once

#include <stdexcept>
#include <string>

namespace clickpath {

// A run-time error of a handler: it ends the handler at the failing operation.
// The playback step turns it into the end of a pass; everywhere else it reaches
// the window, which shows its text in a message.
class ToolError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Reading past the last whole number of a file.
class EndOfFileError : public ToolError {
public:
    EndOfFileError()
        : ToolError("Input past end of file")
    {
    }
};

} // namespace clickpath
