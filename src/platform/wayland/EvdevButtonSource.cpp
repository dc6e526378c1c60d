#include "platform/wayland/EvdevButtonSource.h"

#include "core/ToolError.h"

#include <QSocketNotifier>

#include <utility>

namespace clickpath::platform::wayland {

EvdevButtonSource::EvdevButtonSource(std::unique_ptr<DeviceDirectory> directory,
    std::function<void(const std::string&)> leftOut, DesktopInputSettings* settings)
    : directory_(std::move(directory))
    , leftOut_(std::move(leftOut))
    , settings_(settings)
    , context_(std::make_unique<QObject>())
    , delivery_(context_.get())
{
    if (const int fd = directory_->changesDescriptor(); fd >= 0) {
        changesNotifier_ = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
        QObject::connect(
            changesNotifier_.get(), &QSocketNotifier::activated, context_.get(), [this] { devicesChanged(); });
    }
    std::vector<std::pair<InputDeviceInfo, DeviceAccessError>> refused;
    for (const InputDeviceInfo& device : directory_->present()) {
        if (!isPointingDevice(device))
            continue;
        if (auto error = watch(device))
            refused.emplace_back(device, std::move(*error));
    }
    // Without a single one, no right button could stop anything.
    if (devices_.empty() && !refused.empty())
        throw refused.front().second;
    for (const auto& [device, error] : refused)
        leaveOut(device, error);
    if (settings_)
        settingsChanged_ = settings_->onChanged([this] {
            for (auto& [node, watched] : devices_)
                watched.reader->apply(settings_->of(watched.device));
        });
}

void EvdevButtonSource::leaveOut(const InputDeviceInfo& device, const DeviceAccessError& error)
{
    if (leftOut_ && saidLeftOut_.insert(device.node).second)
        leftOut_(leftOutMessage(device, error.reason));
}

EvdevButtonSource::Watched::Watched(Watched&& other) noexcept
    : device(std::move(other.device))
    , reader(std::move(other.reader))
    , notifier(std::exchange(other.notifier, nullptr))
{
}

EvdevButtonSource::Watched::~Watched()
{
    if (notifier) {
        notifier->setEnabled(false);
        notifier->deleteLater();
    }
}

EvdevButtonSource::~EvdevButtonSource()
{
    // Notifiers go before the descriptors they watch.
    changesNotifier_.reset();
    context_.reset();
    for (auto& [node, watched] : devices_)
        watched.notifier = nullptr; // deleted with the context
}

std::optional<DeviceAccessError> EvdevButtonSource::watch(const InputDeviceInfo& device)
{
    Watched watched;
    try {
        watched.reader = directory_->open(device);
    } catch (const DeviceAccessError& error) {
        return error;
    }
    watched.device = device;
    watched.reader->apply(settings_ ? settings_->of(device) : DeviceSettings{});
    if (const int fd = watched.reader->descriptor(); fd >= 0) {
        watched.notifier = new QSocketNotifier(fd, QSocketNotifier::Read, context_.get());
        QObject::connect(watched.notifier, &QSocketNotifier::activated, context_.get(),
            [this, node = device.node] { deviceReadable(node); });
    }
    devices_.emplace(device.node, std::move(watched));
    return std::nullopt;
}

void EvdevButtonSource::devicesChanged()
{
    for (const DeviceChange& change : directory_->takeChanges()) {
        const bool watched = devices_.contains(change.device.node);
        if (!change.added) {
            devices_.erase(change.device.node);
        } else if (!watched && isPointingDevice(change.device)) {
            if (auto error = watch(change.device))
                leaveOut(change.device, *error);
        }
    }
}

void EvdevButtonSource::deviceReadable(const std::string& node)
{
    const auto found = devices_.find(node);
    if (found == devices_.end())
        return;
    if (!takeFrom(*found->second.reader))
        devices_.erase(found); // unplugged
    delivery_.notify();
}

bool EvdevButtonSource::takeFrom(EventReader& reader)
{
    const auto events = reader.readEvents();
    if (!events)
        return false;
    for (const input_event& event : *events) {
        const auto item = buttonItemOf(event);
        if (item)
            delivery_.add(*item);
    }
    return true;
}

void EvdevButtonSource::start(int capacity, std::function<void()> itemsWaiting)
{
    delivery_.start(capacity, std::move(itemsWaiting));
    resume();
}

void EvdevButtonSource::stop()
{
    delivery_.stop();
}

void EvdevButtonSource::resume()
{
    delivery_.resume();
}

std::size_t EvdevButtonSource::read(std::span<ButtonItem> out)
{
    return delivery_.read(out);
}

void EvdevButtonSource::takeWaiting()
{
    // The kernel has queued every event that came before this call.
    for (auto it = devices_.begin(); it != devices_.end();)
        it = takeFrom(*it->second.reader) ? std::next(it) : devices_.erase(it);
}

std::vector<std::string> EvdevButtonSource::watchedNodes() const
{
    std::vector<std::string> nodes;
    for (const auto& [node, watched] : devices_)
        nodes.push_back(node);
    return nodes;
}

} // namespace clickpath::platform::wayland
