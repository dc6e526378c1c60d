#include "platform/wayland/WaylandDesktop.h"

#include "platform/qt/GridTimer.h"
#include "platform/wayland/EvdevButtonSource.h"
#include "platform/wayland/GnomeCursor.h"
#include "platform/wayland/HyprlandCursor.h"
#include "platform/wayland/KWinCursor.h"
#include "platform/wayland/UdevDirectory.h"

#include <wayland-client-core.h>

namespace clickpath::platform::wayland {

namespace {

std::unique_ptr<CursorSource> connectCursor(const QProcessEnvironment& environment, Clock& clock)
{
    if (std::unique_ptr<CursorSource> kwin = KWinCursor::connect(clock))
        return kwin;
    if (std::unique_ptr<CursorSource> gnome = GnomeCursor::connect(clock))
        return gnome;
    return HyprlandCursor::connect(environment, clock);
}

} // namespace

void checkWaylandDisplay()
{
    wl_display_disconnect(connectWaylandDisplay());
}

WaylandDesktop::WaylandDesktop(const QString& compositor, MessageSink& messages)
    : WaylandDesktop(compositor, messages, QProcessEnvironment::systemEnvironment())
{
}

WaylandDesktop::WaylandDesktop(const QString& compositor, MessageSink& messages, const QProcessEnvironment& environment)
    : messages_(messages)
    , inputSettings_(desktopInputSettings(environment))
{
    // logind takes the input devices from a session that is not in front: that, not their rule, is then the reason.
    if (!session_.active())
        throw ToolError(kInactiveSession);
    openPointingDevices(false); // said at start rather than at the first right click that goes unseen
    pointer_ = std::make_unique<VirtualPointer>(
        outputs_.bounds(), connectCursor(environment, clock_), compositor, inputSettings_.get());
    outputs_.onChanged([this] {
        try {
            pointer_->setLayout(outputs_.bounds());
        } catch (const std::exception& error) {
            messages_.showError(QString::fromStdString(error.what()));
        }
    });
}

WaylandDesktop::~WaylandDesktop() = default;

Services WaylandDesktop::services()
{
    return Services{*pointer_, *pointer_, clock_, random_, messages_, session_, qt::makeGridTimer,
        [this] { return openPointingDevices(true); }};
}

std::unique_ptr<MouseButtonSource> WaylandDesktop::openPointingDevices(bool sayLeftOut)
{
    return std::make_unique<EvdevButtonSource>(
        std::make_unique<UdevDirectory>(),
        [this, sayLeftOut](const std::string& leftOut) {
            if (sayLeftOut)
                messages_.showWarning(QString::fromStdString(leftOut));
        },
        inputSettings_.get());
}

} // namespace clickpath::platform::wayland
