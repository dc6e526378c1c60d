// GIO first: its headers name struct members "signals", which Qt defines as a macro.
#include <gio/gio.h>

#include "platform/wayland/GnomeInputSettings.h"

#include <cstring>

namespace clickpath::platform::wayland {

namespace {

GSettings* settingsOf(const char* schema)
{
    GSettingsSchemaSource* source = g_settings_schema_source_get_default();
    GSettingsSchema* found = source ? g_settings_schema_source_lookup(source, schema, TRUE) : nullptr;
    if (!found)
        return nullptr; // g_settings_new would end the program
    g_settings_schema_unref(found);
    return g_settings_new(schema);
}

std::string stringOf(GSettings* settings, const char* key)
{
    gchar* value = g_settings_get_string(settings, key);
    std::string text = value ? value : "";
    g_free(value);
    return text;
}

class GnomeSettings final : public DesktopInputSettings {
public:
    GnomeSettings(GSettings* mouse, GSettings* touchpad)
        : mouse_(mouse)
        , touchpad_(touchpad)
    {
        for (GSettings* settings : {mouse_, touchpad_})
            g_signal_connect(settings, "changed", G_CALLBACK(&GnomeSettings::changed), this);
    }
    ~GnomeSettings() override
    {
        for (GSettings* settings : {mouse_, touchpad_}) {
            g_signal_handlers_disconnect_by_data(settings, this);
            g_object_unref(settings);
        }
    }
    GnomeSettings(const GnomeSettings&) = delete;
    GnomeSettings& operator=(const GnomeSettings&) = delete;

    DeviceSettings of(const InputDeviceInfo& device) override
    {
        DeviceSettings settings;
        const bool mouseLeftHanded = g_settings_get_boolean(mouse_, "left-handed");
        if (!device.touchpad) {
            settings.leftHanded = mouseLeftHanded;
            return settings;
        }
        const std::string handed = stringOf(touchpad_, "left-handed"); // "mouse", "left" or "right"
        settings.leftHanded = handed == "mouse" ? mouseLeftHanded : handed == "left";
        settings.tapping = g_settings_get_boolean(touchpad_, "tap-to-click");
        const std::string method = stringOf(touchpad_, "click-method"); // "default", "none", "areas", "fingers"
        if (method == "areas")
            settings.clickMethod = ClickMethod::ButtonAreas;
        else if (method == "fingers")
            settings.clickMethod = ClickMethod::Clickfinger;
        else if (method == "none")
            settings.clickMethod = ClickMethod::None;
        return settings;
    }

private:
    static void changed(GSettings*, gchar*, gpointer self) { static_cast<GnomeSettings*>(self)->tellChanged(); }

    GSettings* mouse_;
    GSettings* touchpad_;
};

} // namespace

std::unique_ptr<DesktopInputSettings> gnomeInputSettings()
{
    GSettings* mouse = settingsOf("org.gnome.desktop.peripherals.mouse");
    GSettings* touchpad = settingsOf("org.gnome.desktop.peripherals.touchpad");
    if (mouse && touchpad)
        return std::make_unique<GnomeSettings>(mouse, touchpad);
    for (GSettings* settings : {mouse, touchpad})
        if (settings)
            g_object_unref(settings);
    return nullptr;
}

} // namespace clickpath::platform::wayland
