#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>

class QSocketNotifier;

namespace clickpath::platform::posix {

// The folder of the doors, the user's own, which no other user may enter:
// $XDG_RUNTIME_DIR/clickpath, or one in /tmp made for this user. Made when
// missing; empty when it cannot be had.
std::string stopDoorFolder();

// A running program's door for `clickpath-cli stop`: a Unix socket of its
// own in the doors' folder, named after the desktop session and the
// process, takes the word "stop" and answers whether a recording or
// playback ended. So a desktop's shortcut stops what runs in its session,
// never another user's.
class StopDoor {
public:
    // `stop` ends what runs; true when something ran. A door that cannot be
    // opened is said to `unopened`, and the program runs without it.
    StopDoor(std::function<bool()> stop, const std::function<void(const std::string&)>& unopened);
    ~StopDoor();
    StopDoor(const StopDoor&) = delete;
    StopDoor& operator=(const StopDoor&) = delete;

private:
    void letIn();
    void hear(int knock);

    std::function<bool()> stop_;
    std::string path_;
    int listener_ = -1;
    std::unique_ptr<QSocketNotifier> door_;
    std::map<int, std::unique_ptr<QSocketNotifier>> knocks_; // waiting for their word
};

// `clickpath-cli stop`: asks each program at a door of this session to stop.
// The number whose recording or playback ended; doors whose program is gone
// are cleared away.
int knockAtStopDoors();

} // namespace clickpath::platform::posix
