#pragma once

#include <functional>

namespace clickpath::platform {

// Why nothing starts, and what runs ends, while the session is not in front.
inline constexpr const char* kInactiveSession
    = "This session is not the active one (another user's or another console's is in front): nothing is played "
      "or recorded while it is not, so that no click lands in the other session.";
inline constexpr const char* kSessionLeft
    = "This session is no longer the active one (another user's or another console's is in front): what played "
      "or recorded has stopped, so that no click lands in the other session.";

// Whether this desktop session is the one in front. Several sessions can
// share a machine (a switch of user, or of console), and input goes to
// whichever is active: on Wayland the virtual pointer's clicks would land in
// another user's session.
class SessionWatch {
public:
    virtual ~SessionWatch() = default;
    // Without a word to the contrary a session counts as active.
    virtual bool active() { return true; }
    // `left` runs on this thread each time the session stops being the
    // active one.
    virtual void onLeft(std::function<void()> /*left*/) {}
};

} // namespace clickpath::platform
