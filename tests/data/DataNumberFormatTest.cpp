// Number text of the data files: fixed decimals, the exponent form past the precision, the general form of
// the header values, and the strict parsers of the loader.
#include "data/DataNumberFormat.h"

#include <gtest/gtest.h>

using namespace DataNumberFormat;

TEST(DataNumberFormat, FixedWritesExactlyTheGivenDecimals) {
    EXPECT_EQ(FormatFixed(0.5, 4, 5), "0.5000");
    EXPECT_EQ(FormatFixed(0.0, 5, 5), "0.00000");
    EXPECT_EQ(FormatFixed(-0.25, 8, 12), "-0.25000000");
    EXPECT_EQ(FormatFixed(static_cast<float>(0.001), 5, 5), "0.00100");
    EXPECT_EQ(FormatFixed(12.345678, 4, 5), "12.3457");
    EXPECT_EQ(FormatFixed(99999.9921875, 5, 5), "99999.99219"); // five digits before the point: still fixed
}

TEST(DataNumberFormat, FixedSwitchesToExponentPastThePrecision) {
    EXPECT_EQ(FormatFixed(100000.0, 5, 5), "1E+05");
    EXPECT_EQ(FormatFixed(123456.0, 4, 5), "1.2346E+05");
    EXPECT_EQ(FormatFixed(-123456.0, 5, 5), "-1.2346E+05");
    // Rounding that carries into a sixth integer digit also gives the exponent form.
    EXPECT_EQ(FormatFixed(99999.999999, 5, 5), "1E+05");
    EXPECT_EQ(FormatFixed(999999999999.0, 8, 12), "999999999999.00000000");
    EXPECT_EQ(FormatFixed(static_cast<float>(2e12), 8, 12), "1.99999999181E+12");
    EXPECT_EQ(FormatFixed(-1e12, 8, 12), "-1E+12");
}

TEST(DataNumberFormat, GeneralIsShortestWithFifteenDigits) {
    EXPECT_EQ(FormatGeneral(1.0), "1");
    EXPECT_EQ(FormatGeneral(0.5), "0.5");
    EXPECT_EQ(FormatGeneral(4096.0), "4096");
    EXPECT_EQ(FormatGeneral(-2.5), "-2.5");
    EXPECT_EQ(FormatGeneral(0.0), "0");
    // A 32-bit multiplier is written with the digits of its exact binary value.
    EXPECT_EQ(FormatGeneral(static_cast<float>(0.1)), "0.100000001490116");
    EXPECT_EQ(FormatGeneral(0.0000762939453125), "0.0000762939453125");
    EXPECT_EQ(FormatGeneral(1e-6), "1E-06");
    EXPECT_EQ(FormatGeneral(1e20), "1E+20");
    EXPECT_EQ(FormatGeneral(123456789012345678.0), "1.23456789012346E+17");
    EXPECT_EQ(FormatGeneral(999999999999999.0), "999999999999999");
}

TEST(DataNumberFormat, ParsersAcceptWholeNumbersOnly) {
    int32_t i = 0;
    EXPECT_TRUE(ParseInt32("-2147483648", i));
    EXPECT_EQ(i, INT32_MIN);
    EXPECT_TRUE(ParseInt32("+17", i));
    EXPECT_EQ(i, 17);
    EXPECT_FALSE(ParseInt32("2147483648", i));
    EXPECT_FALSE(ParseInt32("12abc", i));
    EXPECT_FALSE(ParseInt32("", i));
    EXPECT_FALSE(ParseInt32("1.5", i));

    uint16_t w = 0;
    EXPECT_TRUE(ParseUInt16("65535", w));
    EXPECT_EQ(w, 65535);
    EXPECT_FALSE(ParseUInt16("65536", w));
    EXPECT_FALSE(ParseUInt16("-1", w));

    float f = 0.0f;
    EXPECT_TRUE(ParseFloat("1.2346E+05", f));
    EXPECT_FLOAT_EQ(f, 123460.0f);
    EXPECT_TRUE(ParseFloat("-0.25", f));
    EXPECT_EQ(f, -0.25f);
    EXPECT_TRUE(ParseFloat("7", f));
    EXPECT_EQ(f, 7.0f);
    EXPECT_FALSE(ParseFloat("1,5", f));
    EXPECT_FALSE(ParseFloat("nan", f));
    EXPECT_FALSE(ParseFloat("inf", f));
    EXPECT_FALSE(ParseFloat("1e60", f));
    EXPECT_FALSE(ParseFloat("++1", f));
    EXPECT_FALSE(ParseFloat("abc", f));
}
