#include "platform/wayland/LogindSession.h"

#include <QSocketNotifier>

#include <cstdlib>
#include <systemd/sd-login.h>
#include <unistd.h>

namespace clickpath::platform::wayland {

namespace {

// The session of this process; for one started outside any session (from a
// user service, say), the user's graphical session.
std::string sessionOfThisProcess()
{
    char* session = nullptr;
    if (sd_pid_get_session(0, &session) < 0 && sd_uid_get_display(::getuid(), &session) < 0)
        return {};
    std::string id = session;
    std::free(session);
    return id;
}

} // namespace

LogindSession::LogindSession()
    : session_(sessionOfThisProcess())
{
    if (session_.empty() || sd_login_monitor_new("session", &monitor_) < 0)
        return;
    notifier_ = std::make_unique<QSocketNotifier>(sd_login_monitor_get_fd(monitor_), QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { changed(); });
    wasActive_ = active();
}

LogindSession::~LogindSession()
{
    notifier_.reset();
    if (monitor_)
        sd_login_monitor_unref(monitor_);
}

bool LogindSession::active()
{
    return session_.empty() || sd_session_is_active(session_.c_str()) != 0;
}

void LogindSession::onLeft(std::function<void()> left)
{
    left_ = std::move(left);
}

void LogindSession::changed()
{
    sd_login_monitor_flush(monitor_);
    const bool isActive = active();
    if (wasActive_ && !isActive && left_)
        left_();
    wasActive_ = isActive;
}

} // namespace clickpath::platform::wayland
