#include "platform/wayland/Uptake.h"

#include <array>
#include <cstring>
#include <filesystem>
#include <sys/inotify.h>
#include <unistd.h>

namespace clickpath::platform::wayland {

bool UptakeCount::look()
{
    const bool held = held_ > 0;
    const bool taken = held && heldAtLastLook_;
    heldAtLastLook_ = held;
    return taken;
}

UptakeWatch::UptakeWatch(std::string node)
    : node_(std::move(node))
{
    const std::filesystem::path path(node_);
    name_ = path.filename().string();
    // The folder, not the node: a watch on a node needs read access to it.
    inotify_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (inotify_ >= 0
        && ::inotify_add_watch(inotify_, path.parent_path().c_str(), IN_OPEN | IN_CLOSE_WRITE | IN_CLOSE_NOWRITE) < 0) {
        ::close(inotify_);
        inotify_ = -1;
    }
}

UptakeWatch::~UptakeWatch()
{
    if (inotify_ >= 0)
        ::close(inotify_);
}

bool UptakeWatch::taken()
{
    alignas(inotify_event) std::array<char, 4096> buffer;
    for (ssize_t got; inotify_ >= 0 && (got = ::read(inotify_, buffer.data(), buffer.size())) > 0;) {
        for (ssize_t at = 0; at < got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer.data() + at);
            if (event->len > 0 && name_ == event->name)
                (event->mask & IN_OPEN) ? count_.opened() : count_.closed();
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
    const bool held = count_.look();
    return held || openedElsewhere("/proc", node_, static_cast<int>(::getpid()));
}

bool openedElsewhere(const std::string& procRoot, const std::string& node, int self)
{
    namespace fs = std::filesystem;
    std::error_code error;
    for (const fs::directory_entry& process : fs::directory_iterator(procRoot, error)) {
        const std::string pid = process.path().filename().string();
        if (pid.find_first_not_of("0123456789") != std::string::npos || pid == std::to_string(self))
            continue;
        // Other users' processes refuse the listing: they are skipped.
        std::error_code denied;
        for (const fs::directory_entry& fd : fs::directory_iterator(process.path() / "fd", denied))
            if (fs::read_symlink(fd.path(), denied) == node)
                return true;
    }
    return false;
}

} // namespace clickpath::platform::wayland
