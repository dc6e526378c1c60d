#include "platform/wayland/DesktopInputSettings.h"

#include "platform/wayland/GnomeInputSettings.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalSocket>

#include <cstring>
#include <map>

namespace clickpath::platform::wayland {

DesktopInputSettings::Subscription DesktopInputSettings::onChanged(std::function<void()> changed)
{
    auto held = std::make_shared<const std::function<void()>>(std::move(changed));
    listeners_.push_back(held);
    return held;
}

void DesktopInputSettings::tellChanged()
{
    std::erase_if(listeners_, [](const auto& listener) { return listener.expired(); });
    for (const auto& listener : std::vector(listeners_)) // a listener may subscribe another
        if (const Subscription held = listener.lock())
            (*held)();
}

namespace {

// Where the desktop tells nothing, libinput's defaults hold.
class NoSettings final : public DesktopInputSettings {
public:
    DeviceSettings of(const InputDeviceInfo&) override { return {}; }
};

// sway's inputs from its IPC socket (the i3 protocol: "i3-ipc", the payload's
// length and its type as native 32-bit integers, then JSON): get_inputs at
// start and again at every input event, which also tells a changed setting.
class SwaySettings final : public DesktopInputSettings {
public:
    explicit SwaySettings(const QString& socketPath)
    {
        socket_.connectToServer(socketPath);
        if (!socket_.waitForConnected(1000))
            return;
        QObject::connect(&socket_, &QLocalSocket::readyRead, [this] { takeMessages(); });
        send(kSubscribe, R"(["input"])");
        send(kGetInputs, {});
        // The first answer now, so that the first click is already right.
        for (int tries = 0; !known_ && tries < 10 && socket_.waitForReadyRead(100); ++tries)
            takeMessages();
    }

    DeviceSettings of(const InputDeviceInfo& device) override
    {
        const auto found = devices_.find(keyOf(device));
        return found == devices_.end() ? DeviceSettings{} : found->second;
    }

    // A sway that went tells nothing more: what stands is all there is.
    bool knows(const InputDeviceInfo& device) override
    {
        return socket_.state() != QLocalSocket::ConnectedState || devices_.contains(keyOf(device));
    }

private:
    static constexpr quint32 kGetInputs = 100;
    static constexpr quint32 kSubscribe = 2;
    static constexpr quint32 kEventBit = 0x80000000U;
    static constexpr int kHeader = 14;

    using Key = std::tuple<std::string, unsigned, unsigned>;
    static Key keyOf(const InputDeviceInfo& device) { return {device.name, device.vendor, device.product}; }

    void send(quint32 type, const QByteArray& payload)
    {
        QByteArray message("i3-ipc");
        const quint32 fields[] = {static_cast<quint32>(payload.size()), type};
        message.append(reinterpret_cast<const char*>(fields), sizeof fields);
        socket_.write(message + payload);
        socket_.flush();
    }

    void takeMessages()
    {
        buffer_ += socket_.readAll();
        while (buffer_.size() >= kHeader) {
            quint32 fields[2];
            std::memcpy(fields, buffer_.constData() + 6, sizeof fields);
            if (buffer_.size() < kHeader + static_cast<qsizetype>(fields[0]))
                return;
            const QByteArray payload = buffer_.mid(kHeader, fields[0]);
            buffer_.remove(0, kHeader + fields[0]);
            if (fields[1] & kEventBit)
                send(kGetInputs, {}); // an input came, went or was set anew
            else if (fields[1] == kGetInputs)
                takeInputs(QJsonDocument::fromJson(payload).array());
        }
    }

    void takeInputs(const QJsonArray& inputs)
    {
        devices_.clear();
        for (const QJsonValue& value : inputs) {
            const QJsonObject input = value.toObject();
            const QJsonObject libinput = input.value("libinput").toObject();
            DeviceSettings settings;
            settings.leftHanded = libinput.value("left_handed").toString() == "enabled";
            if (libinput.contains("tap"))
                settings.tapping = libinput.value("tap").toString() == "enabled";
            const QString method = libinput.value("click_method").toString();
            if (!method.isEmpty())
                settings.clickMethod = method == "button_areas" ? ClickMethod::ButtonAreas
                    : method == "clickfinger"                   ? ClickMethod::Clickfinger
                                                                : ClickMethod::None;
            devices_[{input.value("name").toString().toStdString(),
                static_cast<unsigned>(input.value("vendor").toInt()),
                static_cast<unsigned>(input.value("product").toInt())}]
                = settings;
        }
        known_ = true;
        tellChanged();
    }

    QLocalSocket socket_;
    QByteArray buffer_;
    std::map<Key, DeviceSettings> devices_;
    bool known_ = false;
};

// KWin's input devices over D-Bus, each at /org/kde/KWin/InputDevice/eventN.
// KWin tells no change of them on the bus; its settings are saved in
// kcminputrc, whose changes make the devices read anew. KWin makes that file
// at the first change of a setting, so its folder is watched too.
class KWinSettings final : public DesktopInputSettings {
public:
    KWinSettings()
        : config_(QDir(qEnvironmentVariable("XDG_CONFIG_HOME", QDir::homePath() + "/.config"))
                      .filePath(QStringLiteral("kcminputrc")))
    {
        watch_.addPath(QFileInfo(config_).path());
        watch_.addPath(config_);
        QObject::connect(&watch_, &QFileSystemWatcher::fileChanged, [this] { readAnew(); });
        QObject::connect(&watch_, &QFileSystemWatcher::directoryChanged, [this] {
            if (!watch_.files().contains(config_) && QFileInfo::exists(config_))
                readAnew(); // made just now
        });
    }

    DeviceSettings of(const InputDeviceInfo& device) override
    {
        const auto known = read_.find(device.node);
        if (known != read_.end())
            return known->second;
        QDBusInterface kwin(QStringLiteral("org.kde.KWin"),
            QStringLiteral("/org/kde/KWin/InputDevice/") + QString::fromStdString(device.node).section('/', -1),
            QStringLiteral("org.kde.KWin.InputDevice"), QDBusConnection::sessionBus());
        const QVariant leftHanded = kwin.property("leftHanded");
        if (!leftHanded.isValid())
            return {}; // not KWin's device yet: asked again next time
        DeviceSettings settings;
        settings.leftHanded = leftHanded.toBool();
        if (device.touchpad) {
            settings.tapping = kwin.property("tapToClick").toBool();
            settings.clickMethod = kwin.property("clickMethodClickfinger").toBool() ? ClickMethod::Clickfinger
                                                                                    : ClickMethod::ButtonAreas;
        }
        return read_[device.node] = settings;
    }

    bool knows(const InputDeviceInfo& device) override
    {
        of(device);
        return read_.contains(device.node);
    }

private:
    void readAnew()
    {
        watch_.addPath(config_); // a file replaced or made is not yet watched
        read_.clear();
        tellChanged();
    }

    const QString config_;
    QFileSystemWatcher watch_;
    std::map<std::string, DeviceSettings> read_; // by node, as read since the last change
};

} // namespace

std::unique_ptr<DesktopInputSettings> desktopInputSettings(const QProcessEnvironment& environment)
{
    if (environment.contains(QStringLiteral("SWAYSOCK")))
        return std::make_unique<SwaySettings>(environment.value(QStringLiteral("SWAYSOCK")));
    const QString desktop = environment.value(QStringLiteral("XDG_CURRENT_DESKTOP"));
    if (desktop.contains(QStringLiteral("GNOME")))
        if (auto gnome = gnomeInputSettings())
            return gnome;
    if (desktop.contains(QStringLiteral("KDE")))
        return std::make_unique<KWinSettings>();
    return std::make_unique<NoSettings>();
}

} // namespace clickpath::platform::wayland
