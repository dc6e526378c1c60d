#include "app/ToolContext.h"

namespace clickpath::app {

ToolContext::ToolContext(Controls& controls_, Services services_, AppPaths paths_)
    : controls(controls_)
    , services(std::move(services_))
    , paths(std::move(paths_))
{
}

void ToolContext::setCommandButtons(bool enabled)
{
    for (CommandId command : {CommandId::Command1, CommandId::Command2, CommandId::Command3, CommandId::Command4,
             CommandId::Command5})
        controls.setCommandEnabled(command, enabled);
}

void ToolContext::showPointerCaption(std::int32_t x, std::int32_t y)
{
    controls.setCaption(QStringLiteral("%1 X:%2 Y:%3").arg(paths.exeBaseName()).arg(x).arg(y));
    controls.repaintNow();
}

} // namespace clickpath::app
