// Number text of the data files: fixed decimals, the exponent form past the precision, the general form of
// the header values, and the strict parsers of the loader.
#include "data/DataNumberFormat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

using namespace DataNumberFormat;

TEST(DataNumberFormat, FixedWritesExactlyTheGivenDecimals) {
    EXPECT_EQ(FormatFixed(0.5, 4, 5), "0.5000");
    EXPECT_EQ(FormatFixed(0.0, 5, 5), "0.00000");
    EXPECT_EQ(FormatFixed(-0.25, 8, 12), "-0.25000000");
    EXPECT_EQ(FormatFixed(static_cast<float>(0.001), 5, 5), "0.00100");
    EXPECT_EQ(FormatFixed(99999.0, 5, 5), "99999.00000"); // five digits before the point: still fixed
}

TEST(DataNumberFormat, FixedRoundsToThePrecisionFirst) {
    // Velocity column: 12 significant digits, 8 decimals.
    EXPECT_EQ(FormatFixed(12345.678f, 8, 12), "12345.67773440");
    EXPECT_EQ(FormatFixed(-12345.678f, 8, 12), "-12345.67773440");
    EXPECT_EQ(FormatFixed(0.123456789012345, 8, 12), "0.12345679"); // the decimals are the limit here
    // Interval columns: 5 significant digits, 5 or 4 decimals.
    EXPECT_EQ(FormatFixed(12.3456789f, 5, 5), "12.34600");
    EXPECT_EQ(FormatFixed(12.3456789f, 4, 5), "12.3460");
    EXPECT_EQ(FormatFixed(1.23456f, 5, 5), "1.23460");
    EXPECT_EQ(FormatFixed(0.0123456, 5, 5), "0.01235");
    EXPECT_EQ(FormatFixed(0.000004, 5, 5), "0.00000");
    EXPECT_EQ(FormatFixed(0.000006, 5, 5), "0.00001");
    // Rounding to the precision can carry into one more digit before the point: exponent form.
    EXPECT_EQ(FormatFixed(99999.9921875, 5, 5), "1E+05");
    EXPECT_EQ(FormatFixed(9999.96, 5, 5), "10000.00000");
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

TEST(DataNumberFormat, NonFiniteValuesAreWrittenAsTheNearestFiniteFloat) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(FormatFixed(nan, 5, 5), "0.00000");
    EXPECT_EQ(FormatFixed(-nan, 8, 12), "0.00000000");
    EXPECT_EQ(FormatFixed(inf, 5, 5), "3.4028E+38");
    EXPECT_EQ(FormatFixed(-inf, 4, 5), "-3.4028E+38");
    EXPECT_EQ(FormatFixed(inf, 8, 12), "3.40282346639E+38");
    EXPECT_EQ(FormatFixed(1e300, 8, 12), "3.40282346639E+38"); // beyond the float range as well
    EXPECT_EQ(FormatGeneral(nan), "0");
    EXPECT_EQ(FormatGeneral(-inf), "-3.40282346638529E+38");
    EXPECT_EQ(FormatExponent(inf, 5), "3.4028E+38");
    // Every one of these texts reads back as a finite float.
    float f = 0.0f;
    for (const std::string &text : {FormatFixed(inf, 8, 12), FormatFixed(-inf, 5, 5), FormatGeneral(inf),
                                    FormatGeneral(-inf), FormatFixed(nan, 5, 5)}) {
        EXPECT_TRUE(ParseFloat(text, f)) << text;
        EXPECT_TRUE(std::isfinite(f)) << text;
    }
    EXPECT_TRUE(ParseFloat(FormatGeneral(inf), f));
    EXPECT_EQ(f, std::numeric_limits<float>::max());
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
