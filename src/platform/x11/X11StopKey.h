#pragma once

#include "platform/Desktop.h"
#include "platform/x11/X11Display.h"

#include <QObject>

#include <functional>
#include <memory>
#include <vector>

class QSocketNotifier;

namespace clickpath::platform::x11 {

// A passive grab of a key on the root window, on a connection of its own:
// the key reaches this program, whichever window has the focus, also with
// Caps Lock, Num Lock or Scroll Lock on. Released when it goes.
class X11StopKey final : public Hold {
public:
    // Throws a ToolError when the key has no such name, or another program
    // holds it (BadAccess).
    X11StopKey(const QString& key, std::function<void()> pressed);
    ~X11StopKey() override;

private:
    void drain();

    DisplayPtr display_;
    unsigned int keycode_ = 0;
    std::vector<unsigned int> modifiers_; // every variant grabbed
    std::function<void()> pressed_;
    std::unique_ptr<QObject> context_; // parent of the notifier
};

} // namespace clickpath::platform::x11
