#pragma once

#include <string>

namespace clickpath::platform::wayland {

// The opens and closes of one device node as they are seen, and whether the
// compositor holds it now. udev's helpers open a new node for a moment when
// it appears; the compositor keeps it open. An open still held at two looks
// in a row is taken to be the compositor's.
class UptakeCount {
public:
    void opened() { ++held_; }
    // A close of an open from before the count began counts for nothing.
    void closed() { held_ = held_ > 0 ? held_ - 1 : 0; }
    // A look, at least a tenth of a second after the last.
    bool look();

private:
    int held_ = 0;
    bool heldAtLastLook_ = false;
};

// Whether the compositor has opened the device node `node` yet: another of
// this user's processes has it open (/proc), or an open of it stays held, as
// inotify on its folder tells of any user's process (a compositor that runs
// as another user, or that took the device from logind).
class UptakeWatch {
public:
    explicit UptakeWatch(std::string node);
    ~UptakeWatch();
    UptakeWatch(const UptakeWatch&) = delete;
    UptakeWatch& operator=(const UptakeWatch&) = delete;

    // Never waits.
    bool taken();

private:
    std::string node_;
    std::string name_; // within its folder
    int inotify_ = -1;
    UptakeCount count_;
};

// Whether a process other than `self` holds `node` open, as far as the
// folder `procRoot` (/proc) shows to this user.
bool openedElsewhere(const std::string& procRoot, const std::string& node, int self);

} // namespace clickpath::platform::wayland
