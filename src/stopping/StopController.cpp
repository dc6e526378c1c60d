#include "stopping/StopController.h"

namespace clickpath::stopping {

bool StopController::request(const Stop& stop)
{
    if (!first_)
        first_ = stop;
    bool ended = false;
    for (const Run& run : runs_)
        ended = run() || ended; // each, whatever the others did
    return ended;
}

void stopWhenSessionLeft(StopController& stops, platform::SessionWatch& session, platform::MessageSink& messages)
{
    session.onLeft([&stops, &messages] {
        if (stops.request({StopReason::SessionLeft}))
            messages.showWarning(platform::kSessionLeft);
    });
}

} // namespace clickpath::stopping
