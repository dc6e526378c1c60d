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

// Conversions of a box's text at the moment of use. `what` names the value in
// the error: a text that is not a number or a value that does not fit is an error.
float toSingle(const QString& text, const QString& what, NumberFormat format = NumberFormat::system());
double toDouble(const QString& text, const QString& what, NumberFormat format = NumberFormat::system());
// Whole-number conversions round halves to even.
std::int16_t toInteger(const QString& text, const QString& what, NumberFormat format = NumberFormat::system());
std::int32_t toLong(const QString& text, const QString& what, NumberFormat format = NumberFormat::system());

// The same whole-number conversions of a computed value.
std::int16_t toInteger(double value, const QString& what);
std::int32_t toLong(double value, const QString& what);

// A 32-bit sum; one that overflows is an error naming `what`.
std::int32_t checkedSum(std::int32_t a, std::int32_t b, const char* what);

} // namespace clickpath::core
