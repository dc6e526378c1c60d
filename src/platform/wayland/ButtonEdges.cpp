#include "platform/wayland/ButtonEdges.h"

#include "core/ToolError.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace clickpath::platform::wayland {

namespace {

constexpr int kButtons[] = {BTN_LEFT, BTN_RIGHT};

class KernelNode final : public EvdevNode {
public:
    explicit KernelNode(int fd)
        : fd_(fd)
    {
    }
    ~KernelNode() override { ::close(fd_); }
    KernelNode(const KernelNode&) = delete;
    KernelNode& operator=(const KernelNode&) = delete;

    int descriptor() const override { return fd_; }

    std::optional<std::size_t> read(std::span<input_event> out) override
    {
        for (;;) {
            const ssize_t got = ::read(fd_, out.data(), out.size_bytes());
            if (got >= 0)
                return static_cast<std::size_t>(got) / sizeof(input_event);
            if (errno == EAGAIN)
                return 0;
            if (errno != EINTR)
                return std::nullopt; // ENODEV: unplugged
        }
    }

    std::optional<Keys> keys() override
    {
        std::array<unsigned char, KEY_CNT / 8> bits{};
        if (::ioctl(fd_, EVIOCGKEY(bits.size()), bits.data()) < 0)
            return std::nullopt;
        Keys down;
        for (const int code : kButtons)
            down[code] = (bits[code / 8] >> (code % 8)) & 1;
        return down;
    }

private:
    int fd_;
};

// Every event type masked but the two buttons: the kernel then drops the
// reports of frames that held nothing else, so motion wakes nobody. A kernel
// before 4.4 knows no mask; the reader works there all the same.
void askForButtonsOnly(int fd)
{
    std::array<unsigned char, KEY_CNT / 8> none{}, buttons{};
    for (const int code : kButtons)
        buttons[code / 8] |= static_cast<unsigned char>(1 << (code % 8));
    for (const unsigned type : {EV_KEY, EV_REL, EV_ABS, EV_MSC, EV_SW, EV_LED, EV_SND, EV_REP, EV_FF}) {
        const auto& bits = type == EV_KEY ? buttons : none;
        input_mask mask{type, static_cast<std::uint32_t>(bits.size()), reinterpret_cast<std::uint64_t>(bits.data())};
        ::ioctl(fd, EVIOCSMASK, &mask);
    }
}

} // namespace

ButtonEdges::ButtonEdges(std::unique_ptr<EvdevNode> node)
    : node_(std::move(node))
{
    // Buttons held when watching starts are no edges.
    down_ = node_->keys().value_or(EvdevNode::Keys{});
}

std::optional<std::vector<input_event>> ButtonEdges::readEvents()
{
    std::vector<input_event> edges;
    std::array<input_event, 64> events;
    for (;;) {
        const std::optional<std::size_t> count = node_->read(events);
        if (!count)
            return std::nullopt;
        for (std::size_t i = 0; i < *count; ++i)
            if (!take(events[i], edges))
                return std::nullopt;
        if (*count < events.size())
            return edges;
    }
}

// False when the node has gone.
bool ButtonEdges::take(const input_event& event, std::vector<input_event>& edges)
{
    if (event.type == EV_SYN && event.code == SYN_DROPPED) {
        dropping_ = true;
    } else if (event.type == EV_SYN && event.code == SYN_REPORT && dropping_) {
        dropping_ = false;
        const auto now = node_->keys();
        if (!now)
            return false;
        for (const int code : kButtons)
            edge(code, (*now)[code], edges);
    } else if (event.type == EV_KEY && (event.code == BTN_LEFT || event.code == BTN_RIGHT) && !dropping_) {
        // A repeat, or an edge that a resync told already, is none.
        if (event.value == 0 || event.value == 1)
            edge(event.code, event.value == 1, edges);
    }
    return true;
}

void ButtonEdges::edge(int code, bool down, std::vector<input_event>& edges)
{
    if (down_[code] == down)
        return;
    down_[code] = down;
    const int logical = leftHanded_ ? (code == BTN_LEFT ? BTN_RIGHT : BTN_LEFT) : code;
    edges.push_back({{}, EV_KEY, static_cast<std::uint16_t>(logical), down ? 1 : 0});
}

std::unique_ptr<EvdevNode> openEvdevNode(const InputDeviceInfo& device)
{
    const int fd = ::open(device.node.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    int version = 0;
    if (fd < 0 || ::ioctl(fd, EVIOCGVERSION, &version) < 0) {
        const int reason = errno;
        if (fd >= 0)
            ::close(fd);
        throw DeviceAccessError(device, std::strerror(reason));
    }
    askForButtonsOnly(fd);
    return std::make_unique<KernelNode>(fd);
}

} // namespace clickpath::platform::wayland
