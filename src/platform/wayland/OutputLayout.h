#pragma once

#include "platform/wayland/VirtualPointer.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <vector>

class QSocketNotifier;
struct wl_display;
struct wl_registry;
struct wl_output;
struct zxdg_output_manager_v1;
struct zxdg_output_v1;

namespace clickpath::platform::wayland {

// A connection of the program's own to the session's Wayland display.
// Throws a ToolError that names the display when it cannot be reached.
wl_display* connectWaylandDisplay();

// The rectangle that holds every output; an empty one without outputs.
LayoutRect boundsOf(const std::vector<LayoutRect>& outputs);

// The compositor's outputs in its layout coordinates (logical pixels, as the
// compositor places and scales them), from a Wayland connection of the
// tool's own: xdg-output tells each output's logical place and size, never
// scaled by Qt's own scale variables. Outputs that come, go or change (a new
// scale, a new place) are followed as they happen.
class OutputLayout {
public:
    // Connects to the session's Wayland display and reads its outputs.
    // Throws a ToolError that names the display when it cannot be reached,
    // or the compositor when it offers no xdg-output.
    OutputLayout();
    ~OutputLayout();
    OutputLayout(const OutputLayout&) = delete;
    OutputLayout& operator=(const OutputLayout&) = delete;

    LayoutRect bounds() const;
    // `changed` runs on this thread when the bounds have changed.
    void onChanged(std::function<void()> changed);

    // Wayland's listeners call these.
    struct Output {
        wl_output* output = nullptr;
        zxdg_output_v1* logical = nullptr;
        LayoutRect place;
    };
    void outputAdded(std::uint32_t name, wl_output* output);
    void outputRemoved(std::uint32_t name);
    void outputDone();
    zxdg_output_manager_v1*& manager() { return manager_; }

private:
    void readEvents();

    wl_display* display_ = nullptr;
    wl_registry* registry_ = nullptr;
    zxdg_output_manager_v1* manager_ = nullptr;
    std::map<std::uint32_t, Output> outputs_;
    std::unique_ptr<QSocketNotifier> notifier_;
    LayoutRect bounds_;
    std::function<void()> changed_;
};

} // namespace clickpath::platform::wayland
