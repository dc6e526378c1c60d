#include "platform/qt/ScreenLayout.h"

#include "platform/ToolError.h"

#include <QGuiApplication>
#include <QScreen>

namespace clickpath::platform::qt {

wayland::LayoutRect screenLayout()
{
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (!primary)
        throw ToolError("The compositor announced no output, so there is no layout to play on");
    const QRect all = primary->virtualGeometry();
    return {all.x(), all.y(), all.width(), all.height()};
}

} // namespace clickpath::platform::qt
