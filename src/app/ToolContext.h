#pragma once

#include "app/AppPaths.h"
#include "app/Controls.h"
#include "app/ToolState.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace clickpath::platform {
class Pointer;
class ButtonInjector;
class Clock;
class RandomSource;
class EventPump;
class MessageSink;
class FileTable;
class FileDialog;
class FileCopier;
class MouseButtonSource;
} // namespace clickpath::platform

namespace clickpath::app {

// Everything of the desktop that the handlers use, behind the platform layer.
struct Services {
    platform::Pointer& pointer;
    platform::ButtonInjector& injector;
    platform::Clock& clock;
    platform::RandomSource& random;
    platform::EventPump& pump;
    platform::MessageSink& messages;
    platform::FileTable& files;
    platform::FileDialog& dialog;
    platform::FileCopier& copier;
    // Opens the system mouse for the watcher; throws when it cannot be had.
    std::function<std::unique_ptr<platform::MouseButtonSource>()> openMouseDevice;
};

// What every handler reaches: the state record, the controls, the platform and
// the paths, with the two window operations that several subsystems share.
class ToolContext {
public:
    ToolContext(Controls& controls, Services services, AppPaths paths);

    ToolState state;
    Controls& controls;
    Services services;
    AppPaths paths;

    // Enables or disables the five command buttons together, in their order.
    void setCommandButtons(bool enabled);
    // Caption "<base> X:<x> Y:<y>", painted at once.
    void showPointerCaption(std::int32_t x, std::int32_t y);
    // Reads a box's current text; the boxes are the only copy of the settings.
    QString text(TextBoxId box) const { return controls.text(box); }
};

} // namespace clickpath::app
