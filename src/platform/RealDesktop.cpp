#include "platform/RealDesktop.h"

#include "core/ToolError.h"
#include "platform/DesktopChoice.h"
#include "platform/qt/GridTimer.h"
#include "platform/wayland/EvdevButtonSource.h"
#include "platform/wayland/GnomeCursor.h"
#include "platform/wayland/HyprlandCursor.h"
#include "platform/wayland/KWinCursor.h"
#include "platform/wayland/LogindSession.h"
#include "platform/wayland/OutputLayout.h"
#include "platform/wayland/UdevDirectory.h"
#include "platform/wayland/VirtualPointer.h"
#include "platform/x11/X11ButtonSource.h"
#include "platform/x11/X11Pointer.h"

namespace clickpath::platform {

namespace {

std::unique_ptr<Ticker> makeGridTimer(std::chrono::nanoseconds interval)
{
    return std::make_unique<qt::GridTimer>(interval);
}

std::unique_ptr<wayland::CursorSource> connectCursor(const QProcessEnvironment& environment, Clock& clock)
{
    if (std::unique_ptr<wayland::CursorSource> kwin = wayland::KWinCursor::connect(clock))
        return kwin;
    if (std::unique_ptr<wayland::CursorSource> gnome = wayland::GnomeCursor::connect(clock))
        return gnome;
    return wayland::HyprlandCursor::connect(environment, clock);
}

std::unique_ptr<MouseButtonSource> openPointingDevices(MessageSink* messages, wayland::DesktopInputSettings* settings)
{
    return std::make_unique<wayland::EvdevButtonSource>(
        std::make_unique<wayland::UdevDirectory>(),
        [messages](const std::string& leftOut) {
            if (messages)
                messages->showWarning(QString::fromStdString(leftOut));
        },
        settings);
}

} // namespace

RealDesktop::RealDesktop(MessageSink& messages, bool wayland)
    : messages_(messages)
{
    if (!wayland) {
        x11Pointer_ = std::make_unique<x11::X11Pointer>();
        return;
    }
    // Said at start rather than at the first right click that goes unseen.
    openPointingDevices(nullptr, nullptr);
    const QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    inputSettings_ = wayland::desktopInputSettings(environment);
    outputs_ = std::make_unique<wayland::OutputLayout>();
    virtualPointer_ = std::make_unique<wayland::VirtualPointer>(
        outputs_->bounds(), connectCursor(environment, clock_), compositorName(environment), inputSettings_.get());
    outputs_->onChanged([this] {
        try {
            virtualPointer_->setLayout(outputs_->bounds());
        } catch (const std::exception& error) {
            messages_.showError(QString::fromStdString(error.what()));
        }
    });
    session_ = std::make_unique<wayland::LogindSession>();
}

RealDesktop::~RealDesktop() = default;

Services RealDesktop::services()
{
    if (virtualPointer_)
        return Services{*virtualPointer_, *virtualPointer_, clock_, random_, messages_, *session_, makeGridTimer,
            [this] { return openPointingDevices(&messages_, inputSettings_.get()); }};
    // An X11 server takes its input only while its session is in front.
    return Services{*x11Pointer_, *x11Pointer_, clock_, random_, messages_, *session_, makeGridTimer,
        [] { return std::make_unique<x11::X11ButtonSource>(); }};
}

} // namespace clickpath::platform
