#include "platform/wayland/HyprlandCursor.h"

#include "platform/ToolError.h"

#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <string_view>
#include <utility>

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace clickpath::platform::wayland {

namespace {

using std::chrono::milliseconds;
using Clock = std::chrono::steady_clock;

constexpr std::string_view kRequest = "cursorpos";
// Hyprland answers from its main loop, among its other work: a slow answer at
// start should not refuse recording, while one in a tick must not hold it up.
constexpr milliseconds kFirstAnswerLimit(1000);
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

// Sends the request on a connection of its own and returns all that Hyprland
// writes before it closes the connection. Says why in `failure` when the
// socket refuses or the answer has not ended by `limit`.
std::string ask(const std::string& socketPath, milliseconds limit, std::string& failure)
{
    const Clock::time_point deadline = Clock::now() + limit;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (socketPath.size() >= sizeof address.sun_path) {
        failure = "the path is too long for a socket";
        return {};
    }
    std::memcpy(address.sun_path, socketPath.data(), socketPath.size());
    // Not blocking: a connection for which Hyprland's queue has no room fails
    // at once instead of waiting.
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0 || ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0
        || ::send(fd, kRequest.data(), kRequest.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(kRequest.size()))
        failure = std::strerror(errno);
    std::string answer;
    char buffer[kLongestAnswer];
    while (failure.empty() && answer.size() <= kLongestAnswer) {
        pollfd readable{fd, POLLIN, 0};
        const auto left = std::chrono::ceil<milliseconds>(deadline - Clock::now()).count();
        if (left <= 0 || ::poll(&readable, 1, static_cast<int>(left)) == 0) {
            failure = "no answer within " + std::to_string(limit.count()) + " ms";
            break;
        }
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got == 0)
            break; // closed: the answer is whole
        if (got > 0)
            answer.append(buffer, static_cast<std::size_t>(got));
        else if (errno != EINTR && errno != EAGAIN)
            failure = std::strerror(errno);
    }
    if (fd >= 0)
        ::close(fd);
    return answer;
}

} // namespace

HyprlandCursor::HyprlandCursor(std::string socketPath, milliseconds answerLimit)
    : socketPath_(std::move(socketPath))
    , answerLimit_(answerLimit)
{
}

std::unique_ptr<CursorSource> HyprlandCursor::connect(const QProcessEnvironment& environment, milliseconds answerLimit)
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
    std::unique_ptr<HyprlandCursor> cursor(
        new HyprlandCursor(QStringLiteral("%1/%2/.socket.sock").arg(folder, signature).toStdString(), answerLimit));
    std::string failure;
    const std::string answer = ask(cursor->socketPath_, std::max(answerLimit, kFirstAnswerLimit), failure);
    if (failure.empty() && !positionIn(answer))
        failure = "it answers \"" + answer.substr(0, 40) + "\" where a position was asked for";
    if (!failure.empty())
        throw ToolError("Cannot take the pointer's position from Hyprland at " + cursor->socketPath_ + ": " + failure);
    return cursor;
}

std::optional<ScreenPoint> HyprlandCursor::position()
{
    std::string failure;
    const std::string answer = ask(socketPath_, answerLimit_, failure);
    return failure.empty() ? positionIn(answer) : std::nullopt;
}

} // namespace clickpath::platform::wayland
