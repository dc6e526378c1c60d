#include "platform/wayland/HyprlandCursor.h"

#include "core/ToolError.h"
#include "platform/posix/UnixSocketAddress.h"

#include <QFileInfo>

#include <cerrno>
#include <charconv>
#include <cstring>
#include <string_view>
#include <utility>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace clickpath::platform::wayland {

namespace {

constexpr std::string_view kRequest = "cursorpos";
// Longer than any position; more is not an answer to this request.
constexpr std::size_t kLongestAnswer = 64;

// Hyprland's plain answer, "<x>, <y>": integers, negative left of or above
// the layout's origin. Anything else (the text of an error, an answer cut
// short) is no position.
std::optional<ScreenPoint> positionIn(std::string_view answer)
{
    const char* const end = answer.data() + answer.size();
    ScreenPoint point;
    const auto [afterX, xError] = std::from_chars(answer.data(), end, point.x);
    if (xError != std::errc() || std::string_view(afterX, end - afterX).substr(0, 2) != ", ")
        return std::nullopt;
    const auto [afterY, yError] = std::from_chars(afterX + 2, end, point.y);
    if (yError != std::errc()
        || std::string_view(afterY, end - afterY).find_first_not_of('\n') != std::string_view::npos)
        return std::nullopt;
    return point;
}

} // namespace

HyprlandCursor::HyprlandCursor(std::string socketPath, Clock& clock)
    : socketPath_(std::move(socketPath))
    , clock_(clock)
{
}

HyprlandCursor::~HyprlandCursor()
{
    hangUp();
}

std::unique_ptr<HyprlandCursor> HyprlandCursor::connect(const QProcessEnvironment& environment, Clock& clock)
{
    const QString signature = environment.value(QStringLiteral("HYPRLAND_INSTANCE_SIGNATURE"));
    if (signature.isEmpty())
        return nullptr;
    // Hyprland 0.40 moved its sockets from /tmp/hypr to $XDG_RUNTIME_DIR/hypr:
    // the newer folder, where it exists, tells which of the two runs.
    const QString runtime = environment.value(QStringLiteral("XDG_RUNTIME_DIR"));
    const QString folder = !runtime.isEmpty() && QFileInfo(runtime + QStringLiteral("/hypr")).isDir()
        ? runtime + QStringLiteral("/hypr")
        : QStringLiteral("/tmp/hypr");
    return std::unique_ptr<HyprlandCursor>(
        new HyprlandCursor(QStringLiteral("%1/%2/.socket.sock").arg(folder, signature).toStdString(), clock));
}

void HyprlandCursor::start()
{
    latest_.reset();
    failure_.clear();
    startedAt_ = clock_.seconds();
    ask();
    if (request_ < 0)
        throw ToolError("Cannot take the pointer's position from Hyprland at " + socketPath_ + ": " + failure_);
}

void HyprlandCursor::stop()
{
    hangUp();
}

std::optional<ScreenPoint> HyprlandCursor::position()
{
    takeAnswer();
    if (request_ < 0)
        ask();
    if (!latest_ && clock_.seconds() - startedAt_ > kAnswerLimit)
        throw ToolError("Cannot take the pointer's position from Hyprland at " + socketPath_ + ": "
            + (failure_.empty() ? "no answer within 1 s" : failure_));
    return latest_;
}

// A new connection and the request on it; a socket that refuses is said at
// the next look.
void HyprlandCursor::ask()
{
    const std::optional<sockaddr_un> address = posix::unixSocketAddress(socketPath_);
    if (!address) {
        failure_ = "the path is too long for a socket";
        return;
    }
    // Not blocking: a connection for which Hyprland's queue has no room fails
    // at once instead of waiting.
    request_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (request_ < 0 || ::connect(request_, reinterpret_cast<const sockaddr*>(&*address), sizeof *address) != 0
        || ::send(request_, kRequest.data(), kRequest.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(kRequest.size())) {
        failure_ = std::strerror(errno);
        return hangUp();
    }
    askedAt_ = clock_.seconds();
    answer_.clear();
}

// What has come of the answer; at its end (Hyprland closes the connection)
// the position, if it is one.
void HyprlandCursor::takeAnswer()
{
    char buffer[kLongestAnswer];
    while (request_ >= 0) {
        const ssize_t got = ::read(request_, buffer, sizeof buffer);
        if (got > 0 && answer_.size() + static_cast<std::size_t>(got) <= kLongestAnswer) {
            answer_.append(buffer, static_cast<std::size_t>(got));
        } else if (got == 0) {
            if (const auto at = positionIn(answer_))
                latest_ = at;
            else
                failure_ = "it answers \"" + answer_.substr(0, 40) + "\" where a position was asked for";
            hangUp();
        } else if (got > 0 || (errno != EAGAIN && errno != EINTR)) {
            failure_ = got > 0 ? "its answer is longer than any position" : std::strerror(errno);
            hangUp();
        } else if (errno == EAGAIN) {
            if (clock_.seconds() - askedAt_ > kAnswerLimit) {
                failure_ = "no answer within 1 s";
                hangUp();
            }
            return;
        }
    }
}

void HyprlandCursor::hangUp()
{
    if (request_ >= 0)
        ::close(request_);
    request_ = -1;
}

} // namespace clickpath::platform::wayland
