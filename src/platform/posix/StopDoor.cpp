#include "platform/posix/StopDoor.h"

#include "platform/posix/UnixSocketAddress.h"

#include <QSocketNotifier>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace clickpath::platform::posix {

namespace {

constexpr int kAnswerLimitMs = 2000;

// A door's name begins with the session's id (logind's, which the session's
// programs inherit), so that each session's doors are its own.
std::string sessionPrefix()
{
    const char* session = std::getenv("XDG_SESSION_ID");
    return std::string(session && *session ? session : "nosession") + '.';
}

} // namespace

std::string stopDoorFolder()
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    const std::string folder
        = runtime && *runtime ? std::string(runtime) + "/clickpath" : "/tmp/clickpath-" + std::to_string(::getuid());
    ::mkdir(folder.c_str(), 0700);
    struct stat seen {};
    // Only a folder of this user's that nobody else may enter.
    if (::lstat(folder.c_str(), &seen) != 0 || !S_ISDIR(seen.st_mode) || seen.st_uid != ::getuid()
        || (seen.st_mode & 077) != 0)
        return {};
    return folder;
}

StopDoor::StopDoor(std::function<bool()> stop, const std::function<void(const std::string&)>& unopened)
    : stop_(std::move(stop))
{
    const std::string folder = stopDoorFolder();
    path_ = folder + '/' + sessionPrefix() + std::to_string(::getpid());
    const auto address = unixSocketAddress(path_);
    listener_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    ::unlink(path_.c_str()); // a door left by a process of the same number that was killed
    if (folder.empty() || !address || listener_ < 0
        || ::bind(listener_, reinterpret_cast<const sockaddr*>(&*address), sizeof *address) != 0
        || ::listen(listener_, 4) != 0) {
        unopened("Cannot open the door for \"clickpath-cli stop\" at " + path_ + ": "
            + (folder.empty() ? "no folder of the user's own for it" : std::strerror(errno)));
        path_.clear();
        return;
    }
    door_ = std::make_unique<QSocketNotifier>(listener_, QSocketNotifier::Read);
    QObject::connect(door_.get(), &QSocketNotifier::activated, [this] { letIn(); });
}

StopDoor::~StopDoor()
{
    door_.reset();
    for (auto& [knock, notifier] : knocks_) {
        notifier.reset(); // before its descriptor closes
        ::close(knock);
    }
    if (listener_ >= 0)
        ::close(listener_);
    if (!path_.empty())
        ::unlink(path_.c_str());
}

void StopDoor::letIn()
{
    for (int knock; (knock = ::accept4(listener_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC)) >= 0;) {
        auto notifier = std::make_unique<QSocketNotifier>(knock, QSocketNotifier::Read);
        QObject::connect(notifier.get(), &QSocketNotifier::activated, [this, knock] { hear(knock); });
        knocks_[knock] = std::move(notifier);
    }
}

// The word comes in one piece; anything else gets no answer.
void StopDoor::hear(int knock)
{
    char word[16] = {};
    const ssize_t got = ::read(knock, word, sizeof word - 1);
    if (got < 0 && errno == EAGAIN)
        return;
    const char* answer = std::strcmp(word, "stop\n") == 0 && stop_() ? "ended\n" : "idle\n";
    [[maybe_unused]] const ssize_t put = ::send(knock, answer, std::strlen(answer), MSG_NOSIGNAL);
    knocks_.erase(knock);
    ::close(knock);
}

int knockAtStopDoors()
{
    const std::string folder = stopDoorFolder();
    DIR* doors = folder.empty() ? nullptr : ::opendir(folder.c_str());
    int ended = 0;
    for (const dirent* door; doors && (door = ::readdir(doors));) {
        if (std::strncmp(door->d_name, sessionPrefix().c_str(), sessionPrefix().size()) != 0)
            continue;
        const std::string path = folder + '/' + door->d_name;
        const auto address = unixSocketAddress(path);
        const int knock = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (!address || knock < 0) {
            if (knock >= 0)
                ::close(knock);
            continue;
        }
        if (::connect(knock, reinterpret_cast<const sockaddr*>(&*address), sizeof *address) != 0) {
            if (errno == ECONNREFUSED)
                ::unlink(path.c_str()); // its program is gone
            ::close(knock);
            continue;
        }
        char answer[16] = {};
        pollfd readable{knock, POLLIN, 0};
        if (::send(knock, "stop\n", 5, MSG_NOSIGNAL) == 5 && ::poll(&readable, 1, kAnswerLimitMs) == 1
            && ::read(knock, answer, sizeof answer - 1) > 0)
            ended += std::strcmp(answer, "ended\n") == 0;
        ::close(knock);
    }
    if (doors)
        ::closedir(doors);
    return ended;
}

} // namespace clickpath::platform::posix
