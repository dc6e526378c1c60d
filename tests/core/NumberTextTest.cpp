#include "core/NumberText.h"
#include "platform/ToolError.h"

#include <gtest/gtest.h>

using namespace clickpath;
using namespace clickpath::core;

namespace {

const NumberFormat kDot{QLatin1Char('.')};
const NumberFormat kComma{QLatin1Char(',')};

TEST(NumberTextTest, ANumberIsASignDigitsOneSeparatorAndAnExponentWithBlanksAround)
{
    for (const char* text : {"0", "180", "-5", "+5", "2.5", ".5", "5.", "1E3", "1e-3", "-2.5E+10", " 7 ", "\t7",
             "99999999999999999999999", "1E999",
             "\u3000"
             "7\u3000"})
        EXPECT_TRUE(isNumericText(text, kDot)) << text;
    for (const char* text :
        {"", " ", "abc", "1a", "1.2.3", "1E", "E3", "--1", "+-1", "1 2", "1,000", "0x10", "$5", ".", "-", "1e+", "٣"})
        EXPECT_FALSE(isNumericText(QString::fromUtf8(text), kDot)) << text;
    EXPECT_TRUE(isNumericText("2,5", kComma));
    EXPECT_FALSE(isNumericText("2.5", kComma));
    EXPECT_DOUBLE_EQ(toDouble("-1,25E2", "x", kComma), -125.0);
}

TEST(NumberTextTest, ConversionsRoundHalvesToEvenAndRefuseWhatDoesNotFit)
{
    const std::pair<const char*, std::int32_t> longs[]
        = {{"0.5", 0}, {"1.5", 2}, {"2.5", 2}, {"-2.5", -2}, {"2.51", 3}, {"2147483647", 2147483647}};
    for (const auto& [text, value] : longs)
        EXPECT_EQ(toLong(text, "x", kDot), value) << text;
    EXPECT_EQ(toInteger("32767.4", "x", kDot), 32767);
    EXPECT_EQ(toInteger("-32768", "x", kDot), -32768);
    EXPECT_FLOAT_EQ(toSingle("2.5", "x", kDot), 2.5f);
    EXPECT_EQ(toDouble("1E-999", "x", kDot), 0.0);
    for (const auto& convert : std::initializer_list<std::function<void()>>{[] { toInteger("32767.5", "x", kDot); },
             [] { toInteger("-32768.6", "x", kDot); }, [] { toLong("2147483647.5", "x", kDot); },
             [] { toSingle("1E39", "x", kDot); }, [] { toDouble("1E999", "x", kDot); },
             [] { checkedSum(2147483647, 1, "x"); }})
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
