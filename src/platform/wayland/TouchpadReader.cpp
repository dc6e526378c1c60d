#include "platform/wayland/TouchpadReader.h"

#include "core/ToolError.h"

#include <libinput.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace clickpath::platform::wayland {

namespace {

// Read only, whatever libinput asks for: the tool never writes to a device.
int openReadOnly(const char* path, int, void* lastError)
{
    const int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    *static_cast<int*>(lastError) = fd < 0 ? errno : 0;
    return fd < 0 ? -errno : fd;
}

void closeDevice(int fd, void*)
{
    ::close(fd);
}

constexpr libinput_interface kDeviceAccess{openReadOnly, closeDevice};

class TouchpadReader final : public EventReader {
public:
    explicit TouchpadReader(const InputDeviceInfo& device)
        : context_(libinput_path_create_context(&kDeviceAccess, &lastError_))
    {
        libinput_device* touchpad = context_ ? libinput_path_add_device(context_, device.node.c_str()) : nullptr;
        if (!touchpad) {
            const int reason = lastError_ ? lastError_ : ENODEV;
            if (context_)
                libinput_unref(context_);
            throw DeviceAccessError(device, std::strerror(reason));
        }
        touchpad_ = libinput_device_ref(touchpad);
    }
    ~TouchpadReader() override
    {
        libinput_device_unref(touchpad_);
        libinput_unref(context_);
    }
    TouchpadReader(const TouchpadReader&) = delete;
    TouchpadReader& operator=(const TouchpadReader&) = delete;

    int descriptor() const override { return libinput_get_fd(context_); }

    // The desktop's settings, or libinput's defaults where it tells none:
    // this context must see a click, a tap, a corner as the compositor's does.
    void apply(const DeviceSettings& settings) override
    {
        libinput_device_config_left_handed_set(touchpad_, settings.leftHanded);
        libinput_device_config_tap_set_enabled(touchpad_,
            settings.tapping.value_or(libinput_device_config_tap_get_default_enabled(touchpad_))
                ? LIBINPUT_CONFIG_TAP_ENABLED
                : LIBINPUT_CONFIG_TAP_DISABLED);
        const auto method = !settings.clickMethod ? libinput_device_config_click_get_default_method(touchpad_)
            : *settings.clickMethod == ClickMethod::ButtonAreas ? LIBINPUT_CONFIG_CLICK_METHOD_BUTTON_AREAS
            : *settings.clickMethod == ClickMethod::Clickfinger ? LIBINPUT_CONFIG_CLICK_METHOD_CLICKFINGER
                                                                : LIBINPUT_CONFIG_CLICK_METHOD_NONE;
        libinput_device_config_click_set_method(touchpad_, method);
    }

    // libinput's button events as the kernel's, each in a frame of its own.
    std::optional<std::vector<input_event>> readEvents() override
    {
        libinput_dispatch(context_);
        std::vector<input_event> events;
        bool removed = false;
        while (libinput_event* event = libinput_get_event(context_)) {
            if (libinput_event_get_type(event) == LIBINPUT_EVENT_POINTER_BUTTON) {
                libinput_event_pointer* button = libinput_event_get_pointer_event(event);
                const bool pressed = libinput_event_pointer_get_button_state(button) == LIBINPUT_BUTTON_STATE_PRESSED;
                events.push_back({{}, EV_KEY, static_cast<std::uint16_t>(libinput_event_pointer_get_button(button)),
                    pressed ? 1 : 0});
                events.push_back({{}, EV_SYN, SYN_REPORT, 0});
            }
            removed = removed || libinput_event_get_type(event) == LIBINPUT_EVENT_DEVICE_REMOVED;
            libinput_event_destroy(event);
        }
        return removed ? std::nullopt : std::optional(std::move(events));
    }

private:
    int lastError_ = 0;
    libinput* context_;
    libinput_device* touchpad_ = nullptr;
};

} // namespace

std::unique_ptr<EventReader> openTouchpad(const InputDeviceInfo& device)
{
    return std::make_unique<TouchpadReader>(device);
}

} // namespace clickpath::platform::wayland
