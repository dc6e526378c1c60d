#include "platform/wayland/EvdevButtonSource.h"

#include <QSocketNotifier>
#include <QTimer>

#include <utility>

namespace clickpath::platform::wayland {

EvdevButtonSource::EvdevButtonSource(std::unique_ptr<DeviceDirectory> directory)
    : directory_(std::move(directory))
    , context_(std::make_unique<QObject>())
{
    if (const int fd = directory_->changesDescriptor(); fd >= 0) {
        changesNotifier_ = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
        QObject::connect(
            changesNotifier_.get(), &QSocketNotifier::activated, context_.get(), [this] { devicesChanged(); });
    }
    for (const InputDeviceInfo& device : directory_->present())
        if (isPointingDevice(device))
            watch(device);
}

EvdevButtonSource::Watched::Watched(Watched&& other) noexcept
    : reader(std::move(other.reader))
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

void EvdevButtonSource::watch(const InputDeviceInfo& device)
{
    Watched watched;
    watched.reader = directory_->open(device);
    if (const int fd = watched.reader->descriptor(); fd >= 0) {
        watched.notifier = new QSocketNotifier(fd, QSocketNotifier::Read, context_.get());
        QObject::connect(watched.notifier, &QSocketNotifier::activated, context_.get(),
            [this, node = device.node] { deviceReadable(node); });
    }
    devices_.emplace(device.node, std::move(watched));
}

void EvdevButtonSource::devicesChanged()
{
    for (const DeviceChange& change : directory_->takeChanges()) {
        const bool watched = devices_.contains(change.device.node);
        if (!change.added) {
            devices_.erase(change.device.node);
        } else if (!watched && isPointingDevice(change.device)) {
            // A device that comes later and cannot be read is left out: the
            // ones present at start said so already, and the tool runs on.
            try {
                watch(change.device);
            } catch (const std::exception&) {
            }
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
    notify();
}

bool EvdevButtonSource::takeFrom(EventReader& reader)
{
    const auto events = reader.readEvents();
    if (!events)
        return false;
    for (const input_event& event : *events) {
        const auto item = buttonItemOf(event);
        // Items beyond the buffer's size are lost, as with any full buffer.
        if (item && delivering_ && buffer_.size() < capacity_)
            buffer_.push_back(*item);
    }
    return true;
}

void EvdevButtonSource::start(int capacity, std::function<void()> itemsWaiting)
{
    capacity_ = static_cast<std::size_t>(capacity);
    itemsWaiting_ = std::move(itemsWaiting);
    resume();
}

void EvdevButtonSource::stop()
{
    delivering_ = false;
    buffer_.clear();
    itemsWaiting_ = nullptr;
}

void EvdevButtonSource::resume()
{
    delivering_ = true;
    scheduleNotify();
}

std::size_t EvdevButtonSource::read(std::span<ButtonItem> out)
{
    std::size_t count = 0;
    for (; count < out.size() && !buffer_.empty(); ++count) {
        out[count] = buffer_.front();
        buffer_.pop_front();
    }
    return count;
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

void EvdevButtonSource::notify()
{
    if (buffer_.empty() || !itemsWaiting_ || !delivering_)
        return;
    // A copy: the callback may stop delivery, which lets go of the original.
    const std::function<void()> callback = itemsWaiting_;
    callback();
    if (!buffer_.empty())
        scheduleNotify();
}

void EvdevButtonSource::scheduleNotify()
{
    if (notifyScheduled_)
        return;
    notifyScheduled_ = true;
    QTimer::singleShot(0, context_.get(), [this] {
        notifyScheduled_ = false;
        notify();
    });
}

} // namespace clickpath::platform::wayland
