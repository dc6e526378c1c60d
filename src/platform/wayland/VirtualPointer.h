#pragma once

#include "platform/ButtonInjector.h"
#include "platform/Pointer.h"
#include "platform/wayland/DesktopInputSettings.h"
#include "platform/wayland/Uptake.h"

#include <linux/input.h>

#include <QString>

#include <chrono>
#include <functional>
#include <memory>
#include <string>

struct libevdev_uinput;

namespace clickpath::platform::wayland {

// The compositor's output layout, in its logical pixels.
struct LayoutRect {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    bool operator==(const LayoutRect&) const = default;
};

// An absolute axis: its smallest and largest value.
struct AxisRange {
    std::int32_t minimum = 0;
    std::int32_t maximum = 0;
    bool operator==(const AxisRange&) const = default;
};

// libinput scales an absolute axis value v to (v - min) / (max - min + 1) of
// the layout's extent, and the compositor adds the layout's origin: a range
// with one value per layout pixel, from the origin on, puts each value on
// the pixel of the same number.
AxisRange horizontalAxisOf(const LayoutRect& layout);
AxisRange verticalAxisOf(const LayoutRect& layout);
// A position on the axis, held to the layout's edge as a real pointer is.
std::int32_t axisValue(const AxisRange& axis, std::int32_t position);

// Where the compositor tells the pointer's position to the tool, for a
// recording.
class CursorSource {
public:
    virtual ~CursorSource() = default;
    // Begins telling positions. Throws a ToolError that says why none will come.
    virtual void start() {}
    // The latest position; nothing before the first report. Throws a
    // ToolError that says why when no position will come any more.
    virtual std::optional<ScreenPoint> position() = 0;
    // Ends what start() began; never throws.
    virtual void stop() {}
};

// A virtual absolute pointer made with uinput that the compositor takes as a
// real one: moves and left presses reach every window of the desktop, in the
// compositor's layout coordinates. The device goes when this object goes, and
// with the process on any other way out.
class VirtualPointer final : public Pointer, public ButtonInjector {
public:
    // Creates the device spanning `layout`; `cursor` may be null where the
    // compositor tells no position. Throws a ToolError that says how to get
    // access when /dev/uinput cannot be written.
    // A desktop that made the device left-handed (`settings`, when there
    // are any) gets its primary click from the right button; the setting is
    // read when the compositor has taken the device and when it changes,
    // never in a click.
    VirtualPointer(LayoutRect layout, std::unique_ptr<CursorSource> cursor, QString compositor,
        DesktopInputSettings* settings = nullptr);
    // Removes the device, once the compositor had time to read its last events.
    ~VirtualPointer() override;
    VirtualPointer(const VirtualPointer&) = delete;
    VirtualPointer& operator=(const VirtualPointer&) = delete;

    void startTracking() override;
    std::optional<ScreenPoint> position() override;
    void stopTracking() override;
    // Both throw a ToolError when the kernel refuses the event.
    void moveTo(std::int32_t x, std::int32_t y) override;
    // Until the compositor has opened the device (UptakeWatch).
    std::string awaitedUptake() override;
    // Spans a new layout (an output came, went or was scaled): the device is
    // made anew, with one axis value per layout pixel again, and the
    // compositor takes it anew. A press held goes with the old device.
    void setLayout(LayoutRect layout);
    void pressLeft() override { sendLeft(true); }
    void releaseLeft() override { sendLeft(false); }

private:
    InputDeviceInfo asInputDevice() const; // as the desktop's settings know it
    void readLeftHanded();
    void sendLeft(bool down);
    void send(std::initializer_list<input_event> frame, const char* what);

    AxisRange horizontal_;
    AxisRange vertical_;
    std::unique_ptr<CursorSource> cursor_;
    QString compositor_;
    libevdev_uinput* device_ = nullptr;
    std::unique_ptr<UptakeWatch> uptake_;
    DesktopInputSettings* settings_;
    DesktopInputSettings::Subscription settingsChanged_;
    bool leftHanded_ = false;     // as the desktop set this device
    unsigned int heldButton_ = 0; // the code of a press held, if one is
    bool taken_ = false;
    std::optional<std::pair<std::int32_t, std::int32_t>> lastAt_; // the axis values sent last
    std::optional<std::chrono::steady_clock::time_point> lastEvent_;
};

} // namespace clickpath::platform::wayland
