#include "core/Controls.h"

namespace clickpath::core {

QString captionOf(SettingBox box)
{
    switch (box) {
    case SettingBox::SleepBound:
        return QStringLiteral("Sleep");
    case SettingBox::ClickWaitBound:
        return QStringLiteral("Click");
    case SettingBox::VerticalMargin:
        return QStringLiteral("VM");
    case SettingBox::HorizontalMargin:
        return QStringLiteral("HM");
    case SettingBox::FirstPassWait:
        return QStringLiteral("1st.");
    }
    return {};
}

} // namespace clickpath::core
