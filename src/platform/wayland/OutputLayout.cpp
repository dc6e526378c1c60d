#include "platform/wayland/OutputLayout.h"

#include "core/ToolError.h"
#include "xdg-output-unstable-v1-client.h"

#include <QSocketNotifier>

#include <wayland-client.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

namespace clickpath::platform::wayland {

namespace {

// Of wl_output only its "done", which ends each change of an output.
void outputGeometry(void*, wl_output*, int32_t, int32_t, int32_t, int32_t, int32_t, const char*, const char*, int32_t)
{
}
void outputMode(void*, wl_output*, uint32_t, int32_t, int32_t, int32_t) {}
void outputDone(void* layout, wl_output*)
{
    static_cast<OutputLayout*>(layout)->outputDone();
}
void outputScale(void*, wl_output*, int32_t) {}
void outputName(void*, wl_output*, const char*) {}
void outputDescription(void*, wl_output*, const char*) {}
constexpr wl_output_listener kOutputListener{
    outputGeometry, outputMode, outputDone, outputScale, outputName, outputDescription};

void logicalPosition(void* place, zxdg_output_v1*, int32_t x, int32_t y)
{
    (static_cast<LayoutRect*>(place)->x = x, static_cast<LayoutRect*>(place)->y = y);
}
void logicalSize(void* place, zxdg_output_v1*, int32_t width, int32_t height)
{
    (static_cast<LayoutRect*>(place)->width = width, static_cast<LayoutRect*>(place)->height = height);
}
void logicalDone(void*, zxdg_output_v1*) {} // before version 3; wl_output's done follows anyway
void logicalName(void*, zxdg_output_v1*, const char*) {}
void logicalDescription(void*, zxdg_output_v1*, const char*) {}
constexpr zxdg_output_v1_listener kLogicalListener{
    logicalPosition, logicalSize, logicalDone, logicalName, logicalDescription};

void global(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t version)
{
    auto* layout = static_cast<OutputLayout*>(data);
    if (std::strcmp(interface, wl_output_interface.name) == 0 && version >= 2) {
        const auto bound = std::min<uint32_t>(version, 4);
        layout->outputAdded(
            name, static_cast<wl_output*>(wl_registry_bind(registry, name, &wl_output_interface, bound)));
    } else if (std::strcmp(interface, zxdg_output_manager_v1_interface.name) == 0) {
        const auto bound = std::min<uint32_t>(version, 3);
        layout->manager() = static_cast<zxdg_output_manager_v1*>(
            wl_registry_bind(registry, name, &zxdg_output_manager_v1_interface, bound));
    }
}
void globalRemove(void* layout, wl_registry*, uint32_t name)
{
    static_cast<OutputLayout*>(layout)->outputRemoved(name);
}
constexpr wl_registry_listener kRegistryListener{global, globalRemove};

} // namespace

LayoutRect boundsOf(const std::vector<LayoutRect>& outputs)
{
    if (outputs.empty())
        return {};
    std::int32_t left = outputs.front().x, top = outputs.front().y, right = left, bottom = top;
    for (const LayoutRect& output : outputs) {
        left = std::min(left, output.x);
        top = std::min(top, output.y);
        right = std::max(right, output.x + output.width);
        bottom = std::max(bottom, output.y + output.height);
    }
    return {left, top, right - left, bottom - top};
}

wl_display* connectWaylandDisplay()
{
    if (wl_display* display = wl_display_connect(nullptr))
        return display;
    const char* name = std::getenv("WAYLAND_DISPLAY");
    throw ToolError(std::string("Cannot reach the Wayland display ") + (name && *name ? name : "wayland-0") + ": "
        + std::strerror(errno));
}

OutputLayout::OutputLayout()
    : display_(connectWaylandDisplay())
{
    registry_ = wl_display_get_registry(display_);
    wl_registry_add_listener(registry_, &kRegistryListener, this);
    wl_display_roundtrip(display_); // the globals
    if (!manager_)
        throw ToolError("The compositor offers no xdg-output, which tells where its outputs lie");
    for (auto& [name, output] : outputs_)
        outputAdded(name, output.output); // their logical places, now that the manager is known
    wl_display_roundtrip(display_);
    bounds_ = bounds();
    notifier_ = std::make_unique<QSocketNotifier>(wl_display_get_fd(display_), QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { readEvents(); });
}

OutputLayout::~OutputLayout()
{
    notifier_.reset();
    for (auto& [name, output] : outputs_)
        if (output.logical)
            zxdg_output_v1_destroy(output.logical);
    wl_display_disconnect(display_); // and with it every other proxy
}

void OutputLayout::outputAdded(std::uint32_t name, wl_output* output)
{
    Output& added = outputs_[name];
    if (!added.output) {
        added.output = output;
        wl_output_add_listener(output, &kOutputListener, this);
    }
    if (manager_ && !added.logical) {
        added.logical = zxdg_output_manager_v1_get_xdg_output(manager_, output);
        zxdg_output_v1_add_listener(added.logical, &kLogicalListener, &added.place);
    }
}

void OutputLayout::outputRemoved(std::uint32_t name)
{
    const auto gone = outputs_.find(name);
    if (gone == outputs_.end())
        return;
    if (gone->second.logical)
        zxdg_output_v1_destroy(gone->second.logical);
    wl_output_destroy(gone->second.output);
    outputs_.erase(gone);
    outputDone();
}

void OutputLayout::outputDone()
{
    if (!notifier_)
        return; // still reading the first state
    const LayoutRect now = bounds();
    if (now == bounds_)
        return;
    bounds_ = now;
    if (changed_)
        changed_();
}

LayoutRect OutputLayout::bounds() const
{
    std::vector<LayoutRect> places;
    for (const auto& [name, output] : outputs_)
        if (output.place.width > 0 && output.place.height > 0)
            places.push_back(output.place);
    return boundsOf(places);
}

void OutputLayout::onChanged(std::function<void()> changed)
{
    changed_ = std::move(changed);
}

void OutputLayout::readEvents()
{
    // The compositor went: the layout stays as it was last told.
    if (wl_display_dispatch(display_) < 0)
        notifier_->setEnabled(false);
}

} // namespace clickpath::platform::wayland
