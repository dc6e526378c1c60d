#pragma once

#include "platform/MouseButtonSource.h"
#include "platform/qt/ButtonDelivery.h"
#include "platform/wayland/DesktopInputSettings.h"
#include "platform/wayland/InputDevices.h"

#include <QObject>

#include <map>
#include <memory>
#include <set>

class QSocketNotifier;

namespace clickpath::platform::wayland {

// The buttons of every pointing device, read from their evdev nodes beside
// the compositor: nothing is grabbed, so the compositor sees every press as
// before. Devices that come later are watched too, those that go are let go.
class EvdevButtonSource final : public MouseButtonSource {
public:
    // Watches the pointing devices present and those that come; `leftOut`
    // names, once each, a device that cannot be read, which is left out.
    // Throws a ToolError that names the first and says how to get access
    // when pointing devices are present and none can be read. Each device
    // follows `settings` (left-handed, a touchpad's clicks and taps), when
    // there are any, as they change.
    EvdevButtonSource(std::unique_ptr<DeviceDirectory> directory, std::function<void(const std::string&)> leftOut = {},
        DesktopInputSettings* settings = nullptr);
    ~EvdevButtonSource() override;

    void start(int capacity, std::function<void()> itemsWaiting) override;
    void stop() override;
    std::size_t read(std::span<ButtonItem> out) override;
    void resume() override;
    void takeWaiting() override;

    // What the descriptors' notifiers run.
    void deviceReadable(const std::string& node);
    void devicesChanged();
    // The nodes watched now, in order.
    std::vector<std::string> watchedNodes() const;

private:
    // A watched device; its notifier, a child of the context, may be the
    // one whose signal runs when the device goes, so it is deleted later.
    struct Watched {
        Watched() = default;
        Watched(Watched&& other) noexcept;
        Watched& operator=(Watched&&) = delete;
        ~Watched();
        InputDeviceInfo device;
        std::unique_ptr<EventReader> reader;
        QSocketNotifier* notifier = nullptr;
    };
    // Watches a pointing device; why it cannot, if it cannot.
    std::optional<DeviceAccessError> watch(const InputDeviceInfo& device);
    void leaveOut(const InputDeviceInfo& device, const DeviceAccessError& error);
    // Buffers what the device sent; false when it has gone.
    bool takeFrom(EventReader& reader);

    std::unique_ptr<DeviceDirectory> directory_;
    std::function<void(const std::string&)> leftOut_;
    DesktopInputSettings* settings_;
    std::set<std::string> saidLeftOut_;
    std::unique_ptr<QObject> context_; // parent of the notifiers and of scheduled notifications
    std::unique_ptr<QSocketNotifier> changesNotifier_;
    std::map<std::string, Watched> devices_;
    qt::ButtonDelivery delivery_;
    DesktopInputSettings::Subscription settingsChanged_;
};

} // namespace clickpath::platform::wayland
