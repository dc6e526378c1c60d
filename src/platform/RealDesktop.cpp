#include "platform/RealDesktop.h"

#include "platform/x11/X11ButtonSource.h"

namespace clickpath::platform {

RealDesktop::RealDesktop(MessageSink& messages)
    : messages_(messages)
{
}

Services RealDesktop::services()
{
    return Services{
        pointer_, pointer_, clock_, random_, pump_, messages_, [] { return std::make_unique<x11::X11ButtonSource>(); }};
}

} // namespace clickpath::platform
