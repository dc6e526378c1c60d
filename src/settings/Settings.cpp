#include "settings/Settings.h"

#include "core/NumberText.h"
#include "platform/ProfileFile.h"

namespace clickpath::settings {

using core::SettingBox;

namespace {

const QByteArray kSection = "STATUS";
constexpr qsizetype kMaxValueLength = 255;

struct Key {
    SettingBox box;
    const char* name;
};

// Loaded in this order, which is not the boxes' order.
constexpr Key kLoadOrder[] = {{SettingBox::SleepBound, "SLEEP_TIME"}, {SettingBox::ClickWaitBound, "WAIT_CLICK_TIME"},
    {SettingBox::FirstPassWait, "WAIT_FIRST_TIME"}, {SettingBox::HorizontalMargin, "HORIZON_MARGIN"},
    {SettingBox::VerticalMargin, "VERTICAL_MARGIN"}};
// Stored in the boxes' order; a first "SET" lays the keys out so.
constexpr Key kStoreOrder[] = {{SettingBox::SleepBound, "SLEEP_TIME"}, {SettingBox::ClickWaitBound, "WAIT_CLICK_TIME"},
    {SettingBox::VerticalMargin, "VERTICAL_MARGIN"}, {SettingBox::HorizontalMargin, "HORIZON_MARGIN"},
    {SettingBox::FirstPassWait, "WAIT_FIRST_TIME"}};

} // namespace

Settings::Settings(core::Controls& controls, QString path)
    : controls_(controls)
    , path_(std::move(path))
{
}

void Settings::load()
{
    for (const Key& key : kLoadOrder) {
        const QByteArray value = platform::readProfileValue(path_, kSection, key.name, kMaxValueLength);
        controls_.setBoxText(key.box, QString::fromLocal8Bit(value));
    }
}

bool Settings::refusesFocusChange(SettingBox box)
{
    if (core::isNumericText(controls_.boxText(box)))
        return false;
    controls_.setBoxText(box, QStringLiteral("0"));
    return true;
}

void Settings::store()
{
    for (const Key& key : kStoreOrder) {
        const QString text = controls_.boxText(key.box);
        if (core::isNumericText(text))
            platform::writeProfileValue(path_, kSection, key.name, text.toLocal8Bit());
    }
}

} // namespace clickpath::settings
