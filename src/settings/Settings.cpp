#include "settings/Settings.h"

#include "core/NumberText.h"
#include "platform/posix/ProfileFile.h"

namespace clickpath::settings {

using core::SettingBox;

namespace {

const QByteArray kSection = "STATUS";
constexpr qsizetype kMaxValueLength = 255;

} // namespace

Settings::Settings(core::SettingBoxes& boxes, QString path)
    : boxes_(boxes)
    , path_(std::move(path))
{
}

void Settings::load()
{
    for (const SettingBox box : core::loadOrder()) {
        const char* key = core::pacingNumber(box).iniKey;
        boxes_.setBoxText(
            box, QString::fromLocal8Bit(platform::readProfileValue(path_, kSection, key, kMaxValueLength)));
    }
}

bool Settings::refusesFocusChange(SettingBox box)
{
    if (core::isNumericText(boxes_.boxText(box)))
        return false;
    boxes_.setBoxText(box, QStringLiteral("0"));
    return true;
}

void Settings::store()
{
    // In the boxes' order: a first "SET" lays the keys out so.
    for (const core::PacingNumber& number : core::kPacingNumbers) {
        const QString text = boxes_.boxText(number.box);
        if (core::isNumericText(text))
            platform::writeProfileValue(path_, kSection, number.iniKey, text.toLocal8Bit());
    }
}

} // namespace clickpath::settings
