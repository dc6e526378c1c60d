#pragma once

namespace clickpath::app {
class ToolContext;
}

namespace clickpath::recording {

// What every right-button press or release does, whatever runs: ends a
// recording at once and makes a running pass end without a restart.
void stopRequest(app::ToolContext& tool);

} // namespace clickpath::recording
