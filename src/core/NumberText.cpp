#include "core/NumberText.h"

#include <QLocale>

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string_view>

namespace clickpath::core {

namespace {

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Reads a run of digits into `out`; returns how many were read.
int takeDigits(const QString& text, qsizetype& at, std::string& out)
{
    int count = 0;
    while (at < text.size() && isDigit(text[at])) {
        out.push_back(static_cast<char>(text[at].unicode()));
        ++at;
        ++count;
    }
    return count;
}

void takeSign(const QString& text, qsizetype& at, std::string& out)
{
    if (at < text.size() && (text[at] == QLatin1Char('+') || text[at] == QLatin1Char('-'))) {
        out.push_back(static_cast<char>(text[at].unicode()));
        ++at;
    }
}

// Blanks around a number: spaces, tabs, and the ideographic space that
// Japanese input methods type. A line break or another control character is
// no blank: it would reach the settings file.
bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QChar(0x3000);
}

QString withoutBlanks(const QString& text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && isBlank(text[first]))
        ++first;
    while (last > first && isBlank(text[last - 1]))
        --last;
    return text.mid(first, last - first);
}

// Rewrites the regional form as a C-locale number text, or nothing.
std::optional<std::string> normalise(const QString& raw, NumberFormat format)
{
    const QString text = withoutBlanks(raw);
    std::string out;
    qsizetype at = 0;
    takeSign(text, at, out);
    int mantissaDigits = takeDigits(text, at, out);
    if (at < text.size() && text[at] == format.decimalPoint) {
        ++at;
        out.push_back('.');
        mantissaDigits += takeDigits(text, at, out);
    }
    if (mantissaDigits == 0)
        return std::nullopt;
    if (at < text.size() && (text[at] == QLatin1Char('e') || text[at] == QLatin1Char('E'))) {
        ++at;
        out.push_back('e');
        takeSign(text, at, out);
        if (takeDigits(text, at, out) == 0)
            return std::nullopt;
    }
    if (at != text.size())
        return std::nullopt;
    return out;
}

// The power of ten of a C number text's leading digit ("0.05e3": 1); one
// whose exponent itself does not fit counts as far beyond either way.
long long magnitudeOf(std::string_view text)
{
    const std::size_t e = text.find('e');
    long long exponent = 0;
    if (e != std::string_view::npos) {
        const std::string_view digits = text.substr(e + 1 + (text[e + 1] == '+'));
        if (std::from_chars(digits.data(), digits.data() + digits.size(), exponent).ec != std::errc())
            exponent = text[e + 1] == '-' ? LLONG_MIN : LLONG_MAX;
        // Far beyond either way, with room for the digits' own powers.
        exponent = std::clamp(exponent, LLONG_MIN / 2, LLONG_MAX / 2);
        text = text.substr(0, e);
    }
    const std::size_t point = std::min(text.find('.'), text.size());
    const std::size_t first = text.find_first_of("123456789");
    if (first == std::string_view::npos)
        return LLONG_MIN / 2; // all zeros
    const auto integerDigits = static_cast<long long>(point - text.find_first_of("0123456789"));
    const auto before = static_cast<long long>(first < point ? first - text.find_first_of("0123456789") : first - 1);
    return integerDigits - before - 1 + exponent;
}

// The value of a C number text ("-12.5e3"): infinite when it is too large
// for a double, a zero when it is too small.
double parseCNumber(const std::string& text)
{
    const char* first = text.data() + (text.front() == '+'); // from_chars takes no "+"
    double value = 0;
    if (std::from_chars(first, text.data() + text.size(), value).ec != std::errc::result_out_of_range)
        return value;
    const double huge = magnitudeOf(text) >= 0 ? HUGE_VAL : 0.0;
    return text.front() == '-' ? -huge : huge;
}

QString quoted(const QString& text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}

template <typename Int>
std::optional<Int> roundedToInteger(double value)
{
    // Halves go to the even neighbour in the default rounding mode.
    const double rounded = std::nearbyint(value);
    if (!(rounded >= static_cast<double>(std::numeric_limits<Int>::min())
            && rounded <= static_cast<double>(std::numeric_limits<Int>::max())))
        return std::nullopt;
    return static_cast<Int>(rounded);
}

} // namespace

NumberFormat NumberFormat::system()
{
    // The default locale is the user's regional format unless a test sets another.
    const QString point = QLocale().decimalPoint();
    return NumberFormat{point.isEmpty() ? QLatin1Char('.') : point.front()};
}

std::optional<double> parseNumberText(const QString& text, NumberFormat format)
{
    const auto normalised = normalise(text, format);
    if (!normalised)
        return std::nullopt;
    return parseCNumber(*normalised);
}

bool isNumericText(const QString& text, NumberFormat format)
{
    return normalise(text, format).has_value();
}

std::optional<double> doubleOf(const QString& text, NumberFormat format)
{
    const auto value = parseNumberText(text, format);
    if (!value || std::isinf(*value))
        return std::nullopt;
    return value;
}

std::optional<std::int16_t> integerOf(double value)
{
    return roundedToInteger<std::int16_t>(value);
}

std::optional<std::int32_t> longOf(double value)
{
    return roundedToInteger<std::int32_t>(value);
}

std::optional<std::int32_t> sumOf(std::int32_t a, std::int32_t b)
{
    std::int32_t sum = 0;
    if (__builtin_add_overflow(a, b, &sum))
        return std::nullopt;
    return sum;
}

QString badNumberMessage(const QString& text, const QString& what, NumberFormat format)
{
    if (!isNumericText(text, format))
        return QStringLiteral("%1: %2 is not a number").arg(what, quoted(text));
    return QStringLiteral("%1: overflow, %2 is out of range").arg(what, withoutBlanks(text));
}

} // namespace clickpath::core
