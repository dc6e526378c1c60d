#pragma once

#include "platform/wayland/InputDevices.h"

#include <bitset>
#include <span>

namespace clickpath::platform::wayland {

// An evdev node as its reader sees it: the events the kernel queued for this
// reader, and the state of its keys and buttons now.
class EvdevNode {
public:
    using Keys = std::bitset<KEY_CNT>;
    virtual ~EvdevNode() = default;
    // The descriptor to watch for input.
    virtual int descriptor() const = 0;
    // Takes up to out.size() queued events: how many, 0 when none wait,
    // nothing when the node has gone.
    virtual std::optional<std::size_t> read(std::span<input_event> out) = 0;
    // The keys and buttons held down now; nothing when the node has gone.
    virtual std::optional<Keys> keys() = 0;
};

// The left and right buttons of one node, as their edges.
//
// When the reader falls behind, the kernel drops what it queued and says so
// (SYN_DROPPED): the events up to the next report are then of no use, and the
// edges that the buttons' state now tells are reported in their place (a
// button down now was pressed, one up now released). A click that came and
// went entirely within the lost stretch cannot be told.
class ButtonEdges final : public EventReader {
public:
    explicit ButtonEdges(std::unique_ptr<EvdevNode> node);

    int descriptor() const override { return node_->descriptor(); }
    // The edges since the last call, as EV_KEY events of BTN_LEFT and BTN_RIGHT.
    std::optional<std::vector<input_event>> readEvents() override;
    void apply(const DeviceSettings& settings) override { leftHanded_ = settings.leftHanded; }

private:
    bool take(const input_event& event, std::vector<input_event>& edges);
    void edge(int code, bool down, std::vector<input_event>& edges);

    std::unique_ptr<EvdevNode> node_;
    EvdevNode::Keys down_; // the buttons as the edges reported so far leave them
    bool dropping_ = false;
    bool leftHanded_ = false; // the physical buttons swapped
};

// The node at `path` opened for reading, without a grab, the kernel asked to
// queue its two buttons' events only: a mouse's motion, up to a thousand
// events a second, would wake the tool for nothing and overflow the queue in
// a stall. Throws a ToolError naming the device when it cannot be read.
std::unique_ptr<EvdevNode> openEvdevNode(const InputDeviceInfo& device);

} // namespace clickpath::platform::wayland
