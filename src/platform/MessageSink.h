#pragma once

#include <QString>

namespace clickpath::platform {

// Where errors that reach the window are shown to the user.
class MessageSink {
public:
    virtual ~MessageSink() = default;
    // Shows the text of an error and returns once the user has seen it.
    virtual void showError(const QString& text) = 0;
    // Shows a warning that does not stop the tool; returns at once.
    virtual void showWarning(const QString& text) = 0;
};

} // namespace clickpath::platform
