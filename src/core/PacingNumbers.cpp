#include "core/PacingNumbers.h"

#include "core/NumberText.h"

namespace clickpath::core {

QString unusableNumber(SettingBox box, const QString& text, const QString& source)
{
    // A margin's offsets must stay within 32 bits; a wait's countdown, and so
    // any length drawn below its bound, within the 16 bits it is shown in.
    const bool fits
        = pacingNumber(box).kind == NumberKind::Pixels ? longOf(text).has_value() : integerOf(text).has_value();
    return fits ? QString() : badNumberMessage(text, source);
}

} // namespace clickpath::core
