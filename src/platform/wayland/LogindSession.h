#pragma once

#include "platform/SessionWatch.h"

#include <memory>
#include <string>

class QSocketNotifier;
struct sd_login_monitor;

namespace clickpath::platform::wayland {

// This session as systemd-logind (or elogind) tells it: the session of this
// process, or else the user's graphical one. It is watched through logind's
// session files, which change when a switch of user or console makes
// another session the active one. Where there is no logind or no session,
// the session counts as active.
class LogindSession final : public SessionWatch {
public:
    LogindSession();
    ~LogindSession() override;
    LogindSession(const LogindSession&) = delete;
    LogindSession& operator=(const LogindSession&) = delete;

    bool active() override;
    void onLeft(std::function<void()> left) override;

private:
    void changed();

    std::string session_; // empty without one
    sd_login_monitor* monitor_ = nullptr;
    std::unique_ptr<QSocketNotifier> notifier_;
    std::function<void()> left_;
    bool wasActive_ = true;
};

} // namespace clickpath::platform::wayland
