#pragma once

#include <QChar>
#include <QString>

#include <cstdint>
#include <optional>

namespace clickpath::core {

// The user's regional number format, as far as the number test needs it.
struct NumberFormat {
    QChar decimalPoint = QLatin1Char('.');

    static NumberFormat system();
};

// The one number parser behind the number test and every conversion of a box's
// text: blanks around it (spaces, tabs, U+3000), an optional sign, digits with
// at most one decimal separator, and an optional exponent (E, optional sign,
// digits). Nothing when the text is not of that form; a value too large for a
// double is infinite.
std::optional<double> parseNumberText(const QString& text, NumberFormat format = NumberFormat::system());

// True when the text is a number by form, whatever its size.
bool isNumericText(const QString& text, NumberFormat format = NumberFormat::system());

// A box's text at the moment of use: nothing when the text is not a number
// or the value does not fit a double.
std::optional<double> doubleOf(const QString& text, NumberFormat format = NumberFormat::system());
// Whole-number conversions round halves to even; nothing when the value does not fit.
std::optional<std::int16_t> integerOf(double value);
std::optional<std::int32_t> longOf(double value);
// A 32-bit sum, or nothing when it overflows.
std::optional<std::int32_t> sumOf(std::int32_t a, std::int32_t b);

// Why `text` gives no value: "<what>: "x" is not a number", or its overflow.
QString badNumberMessage(const QString& text, const QString& what, NumberFormat format = NumberFormat::system());

} // namespace clickpath::core
