#pragma once

#include <QString>

#include <functional>
#include <memory>

class QLocalServer;

namespace clickpath::platform::qt {

// The folder of the doors: $XDG_RUNTIME_DIR/clickpath, the user's own, which
// no other user may enter. Made when missing.
QString stopDoorFolder();

// A running program's door for `clickpath-cli stop`: a socket of its own in
// the doors' folder, named after the session and the process, takes the
// word and answers whether a recording or playback ended. So a desktop's
// shortcut can stop what runs in its session, never another user's.
class StopDoor {
public:
    // `stop` ends what runs; true when something ran. A door that cannot be
    // opened is said to `unopened`, and the program runs without it.
    StopDoor(std::function<bool()> stop, const std::function<void(const QString&)>& unopened);
    ~StopDoor();
    StopDoor(const StopDoor&) = delete;
    StopDoor& operator=(const StopDoor&) = delete;

private:
    std::function<bool()> stop_;
    std::unique_ptr<QLocalServer> server_;
};

// `clickpath-cli stop`: asks each program at a door of this session to stop.
// The number whose recording or playback ended; doors whose program is gone
// are cleared away.
int knockAtStopDoors();

} // namespace clickpath::platform::qt
