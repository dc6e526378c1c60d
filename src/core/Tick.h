#pragma once

#include <chrono>

namespace clickpath::core {

// Recording writes one line, and playback plays one record, per tick.
inline constexpr std::chrono::milliseconds kTickInterval{10};

} // namespace clickpath::core
