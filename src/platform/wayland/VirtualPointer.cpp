#include "platform/wayland/VirtualPointer.h"

#include "core/ToolError.h"
#include "platform/wayland/InputDevices.h"

#include <libevdev/libevdev-uinput.h>
#include <libevdev/libevdev.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>
#include <unistd.h>

namespace clickpath::platform::wayland {

namespace {

// The kernel drops the events a reader has not read yet when the device
// goes: a release written just before the program ends would never reach the
// compositor, whose button would stay down. Its last events are given this
// long to be read.
constexpr auto kSettleTime = std::chrono::milliseconds(500);

libevdev_uinput* createDevice(const AxisRange& horizontal, const AxisRange& vertical)
{
    libevdev* device = libevdev_new();
    libevdev_set_name(device, kVirtualPointerName);
    libevdev_set_id_bustype(device, BUS_VIRTUAL);
    const input_absinfo x{0, horizontal.minimum, horizontal.maximum, 0, 0, 0};
    const input_absinfo y{0, vertical.minimum, vertical.maximum, 0, 0, 0};
    libevdev_enable_event_code(device, EV_ABS, ABS_X, &x);
    libevdev_enable_event_code(device, EV_ABS, ABS_Y, &y);
    // Buttons make udev call it a mouse, which libinput then takes as an
    // absolute pointer; the right one is pressed on a left-handed desk. The
    // middle one is never pressed, but a device of a left and a right button
    // alone gets libinput's middle-button emulation, which cannot be turned
    // off and holds a press back for a while as the moves go on.
    for (const unsigned int button : {BTN_LEFT, BTN_RIGHT, BTN_MIDDLE})
        libevdev_enable_event_code(device, EV_KEY, button, nullptr);
    libevdev_uinput* uinput = nullptr;
    const int status = libevdev_uinput_create_from_device(device, LIBEVDEV_UINPUT_OPEN_MANAGED, &uinput);
    libevdev_free(device);
    if (status < 0)
        throw ToolError(std::string("Cannot create a virtual pointer through /dev/uinput: ") + std::strerror(-status)
            + ". On Wayland clickpath moves and clicks through a virtual input device: install the udev rule "
              "70-clickpath.rules that comes with it (see the README, \"Wayland\", one-time set-up), then log in "
              "again.");
    return uinput;
}

} // namespace

AxisRange horizontalAxisOf(const LayoutRect& layout)
{
    return {layout.x, layout.x + std::max(layout.width, 1) - 1};
}

AxisRange verticalAxisOf(const LayoutRect& layout)
{
    return {layout.y, layout.y + std::max(layout.height, 1) - 1};
}

std::int32_t axisValue(const AxisRange& axis, std::int32_t position)
{
    return std::clamp(position, axis.minimum, axis.maximum);
}

VirtualPointer::VirtualPointer(
    LayoutRect layout, std::unique_ptr<CursorSource> cursor, QString compositor, DesktopInputSettings* settings)
    : horizontal_(horizontalAxisOf(layout))
    , vertical_(verticalAxisOf(layout))
    , cursor_(std::move(cursor))
    , compositor_(std::move(compositor))
    , device_(createDevice(horizontal_, vertical_))
    , uptake_(std::make_unique<UptakeWatch>(libevdev_uinput_get_devnode(device_)))
    , settings_(settings)
{
    if (settings_)
        settingsChanged_ = settings_->onChanged([this] { readLeftHanded(); });
    readLeftHanded();
}

InputDeviceInfo VirtualPointer::asInputDevice() const
{
    return {.node = libevdev_uinput_get_devnode(device_), .name = kVirtualPointerName, .mouse = true};
}

void VirtualPointer::readLeftHanded()
{
    // libinput offers its left-handed option on every mouse, this one too: a
    // desktop set left-handed would turn its left button into a right click.
    leftHanded_ = settings_ && settings_->of(asInputDevice()).leftHanded;
}

VirtualPointer::~VirtualPointer()
{
    if (lastEvent_)
        std::this_thread::sleep_until(*lastEvent_ + kSettleTime);
    libevdev_uinput_destroy(device_);
}

std::optional<ScreenPoint> VirtualPointer::position()
{
    return cursor_ ? cursor_->position() : std::nullopt;
}

void VirtualPointer::setLayout(LayoutRect layout)
{
    const AxisRange horizontal = horizontalAxisOf(layout), vertical = verticalAxisOf(layout);
    if (horizontal == horizontal_ && vertical == vertical_)
        return;
    libevdev_uinput* made = createDevice(horizontal, vertical);
    libevdev_uinput_destroy(device_);
    (device_ = made, horizontal_ = horizontal, vertical_ = vertical);
    uptake_ = std::make_unique<UptakeWatch>(libevdev_uinput_get_devnode(device_));
    (taken_ = false, heldButton_ = 0, lastAt_.reset());
}

void VirtualPointer::startTracking()
{
    if (!cursor_)
        throw ToolError(compositor_.toStdString()
            + " tells no program where the pointer is, so clickpath cannot record here. Playback works; record on "
              "KDE Plasma, on GNOME with clickpath's extension, on Hyprland or in an X11 session.");
    cursor_->start();
}

void VirtualPointer::stopTracking()
{
    if (cursor_)
        cursor_->stop();
}

void VirtualPointer::moveTo(std::int32_t x, std::int32_t y)
{
    const std::pair at{axisValue(horizontal_, x), axisValue(vertical_, y)};
    if (at == lastAt_)
        return; // the kernel would drop the repeated values anyway
    send({{{}, EV_ABS, ABS_X, at.first}, {{}, EV_ABS, ABS_Y, at.second}, {{}, EV_SYN, SYN_REPORT, 0}}, "Pointer move");
    lastAt_ = at;
}

void VirtualPointer::sendLeft(bool down)
{
    // A release lets go of the button that was pressed.
    const unsigned int button = !down && heldButton_ ? heldButton_ : (leftHanded_ ? BTN_RIGHT : BTN_LEFT);
    send({{{}, EV_KEY, static_cast<std::uint16_t>(button), down ? 1 : 0}, {{}, EV_SYN, SYN_REPORT, 0}},
        down ? "Left press" : "Left release");
    heldButton_ = down ? button : 0;
}

// A frame in one write: one call of the kernel per move or click.
void VirtualPointer::send(std::initializer_list<input_event> frame, const char* what)
{
    const int fd = libevdev_uinput_get_fd(device_);
    const auto bytes = static_cast<ssize_t>(frame.size() * sizeof(input_event));
    ssize_t written = -1;
    while ((written = ::write(fd, frame.begin(), static_cast<std::size_t>(bytes))) < 0 && errno == EINTR) {}
    if (written != bytes)
        throw ToolError(std::string(what)
            + " on the virtual pointer failed: " + (written < 0 ? std::strerror(errno) : "the kernel took part of it"));
    lastEvent_ = std::chrono::steady_clock::now();
}

std::string VirtualPointer::awaitedUptake()
{
    // Taken once the compositor holds it and the desktop has said how it set it
    // up, which a click that follows at once depends on (left-handed).
    if (!taken_ && uptake_->taken() && (!settings_ || settings_->knows(asInputDevice()))) {
        taken_ = true;
        readLeftHanded(); // what the desktop made of this device, now that it has it
    }
    return taken_ ? std::string()
                  : compositor_.toStdString() + " to take clickpath's virtual pointer ("
            + libevdev_uinput_get_devnode(device_) + ")";
}

} // namespace clickpath::platform::wayland
