#include "core/NumberText.h"
#include "platform/ToolError.h"

#include <gtest/gtest.h>

using namespace clickpath;
using namespace clickpath::core;

namespace {

const NumberFormat kDot{QLatin1Char('.')};

TEST(NumberTextTest, ANumberIsASignDigitsOneSeparatorAndAnExponentWithBlanksAround)
{
    for (const char* text : {"0", "-5", "+5", "2.5", ".5", "5.", "1E3", "1e-3", "-2.5E+10", " 7\t", "1E999",
             "\u3000"
             "7\u3000"})
        EXPECT_TRUE(isNumericText(text, kDot)) << text;
    for (const char* text : {"", " ", "1a", "1.2.3", "1E", "E3", "--1", "+-1", "1 2", "1,000", ".", "1e+", "٣", "5\n",
             "5\r\n", "\v5", "5\u00a0"}) // a line break or another control is no blank
        EXPECT_FALSE(isNumericText(QString::fromUtf8(text), kDot)) << text;
    EXPECT_TRUE(
        isNumericText("2,5", NumberFormat{QLatin1Char(',')}) && !isNumericText("2.5", NumberFormat{QLatin1Char(',')}));
    EXPECT_DOUBLE_EQ(toDouble("-1,25E2", "x", NumberFormat{QLatin1Char(',')}), -125.0);
}

TEST(NumberTextTest, ConversionsRoundHalvesToEvenAndRefuseWhatDoesNotFit)
{
    const std::pair<const char*, std::int32_t> longs[]
        = {{"0.5", 0}, {"1.5", 2}, {"2.5", 2}, {"-2.5", -2}, {"2.51", 3}};
    for (const auto& [text, value] : longs)
        EXPECT_EQ(toLong(text, "x", kDot), value) << text;
    EXPECT_EQ(toInteger("-32768", "x", kDot), -32768);
    EXPECT_EQ(toLong(" 2147483647 ", "x", kDot), 2147483647);
    EXPECT_FLOAT_EQ(toSingle("2.5", "x", kDot), 2.5f);
    for (const auto& convert : std::initializer_list<std::function<void()>>{[] { toInteger("32767.5", "x", kDot); },
             [] { toLong("2147483647.5", "x", kDot); }, [] { toSingle("1E39", "x", kDot); },
             [] { toDouble("1E999", "x", kDot); }, [] { checkedSum(2147483647, 1, "x"); }})
        EXPECT_THROW(convert(), ToolError);
    EXPECT_EQ(checkedSum(-2147483647, -1, "x"), -2147483647 - 1);
    try {
        toSingle("", "Click", kDot);
        FAIL();
    } catch (const ToolError& error) {
        EXPECT_STREQ(error.what(), "Click: \"\" is not a number");
    }
}

} // namespace
