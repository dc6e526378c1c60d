#include "platform/qt/TickGrid.h"

namespace clickpath::platform::qt {

TickGrid::TickGrid(std::int64_t intervalNs, int maxBehind)
    : interval_(intervalNs)
    , maxBehind_(intervalNs * maxBehind)
{
}

void TickGrid::start(std::int64_t now)
{
    deadline_ = now + interval_;
}

void TickGrid::ticked(std::int64_t ended)
{
    deadline_ += interval_;
    if (ended - deadline_ > maxBehind_)
        deadline_ = ended + interval_;
}

} // namespace clickpath::platform::qt
