#pragma once

#include "platform/Desktop.h"
#include "platform/x11/X11ButtonSource.h"

#include <functional>
#include <vector>

namespace clickpath::platform::x11 {

// A passive grab of a key on the root window, on the connection that
// watches the mouse buttons: the key reaches this program whichever window
// has the focus, also with Caps Lock, Num Lock or Scroll Lock on. Released
// when it goes, which must be before the buttons' source.
class X11StopKey final : public Hold {
public:
    // Throws a ToolError when the key has no such name, or another program
    // holds it (BadAccess).
    X11StopKey(X11ButtonSource& buttons, const QString& key, std::function<void()> pressed);
    ~X11StopKey() override;

private:
    X11ButtonSource& buttons_;
    unsigned int keycode_ = 0;
    std::vector<unsigned int> modifiers_; // every variant grabbed
};

} // namespace clickpath::platform::x11
