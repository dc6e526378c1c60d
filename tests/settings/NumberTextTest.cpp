#include "platform/ToolError.h"
#include "settings/NumberText.h"

#include <gtest/gtest.h>

using namespace clickpath;
using namespace clickpath::settings;

namespace {

const NumberFormat kDot{QLatin1Char('.')};
const NumberFormat kComma{QLatin1Char(',')};

TEST(NumberTextTest, AcceptsSignDigitsOneSeparatorAndExponentWithBlanksAround)
{
    for (const char* text : {"0", "180", "-5", "+5", "2.5", ".5", "5.", "1E3", "1e-3", "-2.5E+10", " 7 ", "\t7",
             "99999999999999999999999", "1E999"})
        EXPECT_TRUE(isNumericText(text, kDot)) << text;
    for (const char* text : {"", " ", "abc", "1a", "1.2.3", "1E", "E3", "--1", "+-1", "1 2", "1,000", "0x10", "$5",
             ".", "-", "1e+", "٣"})
        EXPECT_FALSE(isNumericText(QString::fromUtf8(text), kDot)) << text;
}

TEST(NumberTextTest, UsesTheRegionalDecimalSeparator)
{
    EXPECT_TRUE(isNumericText("2,5", kComma));
    EXPECT_FALSE(isNumericText("2.5", kComma));
    EXPECT_FLOAT_EQ(toSingle("2,5", "x", kComma), 2.5f);
    EXPECT_DOUBLE_EQ(toDouble("-1,25E2", "x", kComma), -125.0);
}

TEST(NumberTextTest, WholeNumberConversionsRoundHalvesToEven)
{
    EXPECT_EQ(toLong("0.5", "x", kDot), 0);
    EXPECT_EQ(toLong("1.5", "x", kDot), 2);
    EXPECT_EQ(toLong("2.5", "x", kDot), 2);
    EXPECT_EQ(toLong("-2.5", "x", kDot), -2);
    EXPECT_EQ(toLong("2.51", "x", kDot), 3);
    EXPECT_EQ(toInteger("32767.4", "x", kDot), 32767);
    EXPECT_EQ(toInteger("-32768", "x", kDot), -32768);
    EXPECT_EQ(toLong("2147483647", "x", kDot), 2147483647);
    EXPECT_EQ(toInteger(3.5, "x"), 4);
}

TEST(NumberTextTest, ValuesThatDoNotFitAndTextsThatAreNotNumbersAreErrorsNamingTheValue)
{
    EXPECT_THROW(toInteger("32767.5", "x", kDot), ToolError);
    EXPECT_THROW(toInteger("-32768.6", "x", kDot), ToolError);
    EXPECT_THROW(toLong("2147483647.5", "x", kDot), ToolError);
    EXPECT_THROW(toSingle("1E39", "x", kDot), ToolError);
    EXPECT_THROW(toDouble("1E999", "x", kDot), ToolError);
    EXPECT_EQ(toDouble("1E-999", "x", kDot), 0.0);
    try {
        toSingle("", "Click", kDot);
        FAIL();
    } catch (const ToolError& error) {
        EXPECT_STREQ(error.what(), "Click: \"\" is not a number");
    }
}

TEST(NumberTextTest, EverythingTheTestAcceptsConvertsApartFromRange)
{
    // The number test and the conversions share one parser; spot-check
    // texts near the edges of the grammar.
    for (const char* text : {"0", "-0", ".0", "0.", "1e0", "+.5e-2", " -3 ", "12345678901234567890e-20"}) {
        ASSERT_TRUE(isNumericText(text, kDot)) << text;
        EXPECT_NO_THROW(toDouble(text, "x", kDot)) << text;
        EXPECT_NO_THROW(toSingle(text, "x", kDot)) << text;
        EXPECT_NO_THROW(toInteger(text, "x", kDot)) << text;
    }
}

} // namespace
