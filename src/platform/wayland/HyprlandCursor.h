#pragma once

#include "platform/Clock.h"
#include "platform/wayland/VirtualPointer.h"

#include <QProcessEnvironment>

#include <memory>
#include <string>

namespace clickpath::platform::wayland {

// The pointer's position from Hyprland's request socket, which answers one
// request (`cursorpos`: the cursor in layout coordinates) per connection and
// then closes it. Nothing here waits: each call takes the answer that has
// come, and asks again once it has; one request is out at a time.
class HyprlandCursor final : public CursorSource {
public:
    // How long a request may go unanswered before it is given up and asked
    // again, and how long the first answer may take before recording is
    // refused.
    static constexpr double kAnswerLimit = 1; // s

    // The position source when the session is Hyprland's; null on other
    // compositors. `clock` times the answers.
    static std::unique_ptr<HyprlandCursor> connect(const QProcessEnvironment& environment, Clock& clock);
    ~HyprlandCursor() override;

    void start() override;
    // The latest answer that was two integers. Throws a ToolError that names
    // the socket when the first does not come in time.
    std::optional<ScreenPoint> position() override;
    void stop() override;

private:
    HyprlandCursor(std::string socketPath, Clock& clock);
    void ask();
    void takeAnswer();
    void hangUp();

    std::string socketPath_;
    Clock& clock_;
    int request_ = -1; // the connection of the request that is out
    double askedAt_ = 0;
    double startedAt_ = 0;
    std::string answer_;
    std::string failure_; // why the last request went unanswered
    std::optional<ScreenPoint> latest_;
};

} // namespace clickpath::platform::wayland
