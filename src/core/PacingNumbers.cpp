#include "core/PacingNumbers.h"

#include "core/NumberText.h"

#include <cmath>

namespace clickpath::core {

namespace {

struct Range {
    double lowest, highest;
    const char* unit;
};

Range rangeOf(NumberKind kind)
{
    switch (kind) {
    case NumberKind::SecondsBound:
        return {-32768, 32768, "seconds"};
    case NumberKind::Seconds:
        return {-32768, 32767, "seconds"};
    case NumberKind::Pixels:
        break;
    }
    return {-2147483648.0, 2147483647.0, "pixels"};
}

} // namespace

CheckedNumber readNumber(SettingBox box, const QString& text, const QString& source)
{
    const auto value = doubleOf(text);
    if (!value)
        return {std::nullopt, badNumberMessage(text, source)};
    const NumberKind kind = pacingNumber(box).kind;
    const Range range = rangeOf(kind);
    // A bound is used as it is; a number of whole seconds or pixels once rounded.
    const double used = kind == NumberKind::SecondsBound ? *value : std::nearbyint(*value);
    if (used >= range.lowest && used <= range.highest)
        return {value, {}};
    return {std::nullopt,
        QStringLiteral("%1: %2 is out of range, from %3 to %4 %5")
            .arg(source, text.trimmed())
            .arg(range.lowest, 0, 'f', 0)
            .arg(range.highest, 0, 'f', 0)
            .arg(QLatin1String(range.unit))};
}

QString unusableNumber(SettingBox box, const QString& text, const QString& source)
{
    return readNumber(box, text, source).problem;
}

} // namespace clickpath::core
