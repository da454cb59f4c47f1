#include "platform/NumberFormat.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

namespace {

using namespace platform;

TEST(NumberFormat, Fixed) {
    EXPECT_EQ(FormatFixed(12.34, 1), "12.3");
    EXPECT_EQ(FormatFixed(12.35, 0), "12");
    EXPECT_EQ(FormatFixed(0.0, 2), "0.00");
    EXPECT_EQ(FormatFixed(-0.04, 1), "0.0"); // no negative zero
    EXPECT_EQ(FormatFixed(-1.26, 1), "-1.3");
    EXPECT_EQ(FormatFixed(1.0 / 3.0, 4), "0.3333");
    EXPECT_EQ(FormatFixed(1234.5, 3), "1234.500");
}

TEST(NumberFormat, FixedRoundsToSignificantDigitsFirst) {
    EXPECT_EQ(FormatFixed(12345.67, 1, 6), "12345.7");
    EXPECT_EQ(FormatFixed(1234.5678, 3, 6), "1234.570");
    EXPECT_EQ(FormatFixed(99999.96, 1, 6), "100000.0");
    // More integer digits than the precision: scientific.
    EXPECT_EQ(FormatFixed(1234567.8, 1, 6), "1.23457E+006");
    EXPECT_EQ(FormatFixed(-999999.7, 1, 6), "-1.00000E+006");
}

TEST(NumberFormat, ThousandsSeparators) {
    EXPECT_EQ(FormatNumber(1234567.5, 2), "1,234,567.50");
    EXPECT_EQ(FormatNumber(-1234, 0), "-1,234");
    EXPECT_EQ(FormatNumber(999, 0), "999");
    EXPECT_EQ(FormatNumber(-999.5, 1), "-999.5");
    EXPECT_EQ(FormatNumber(1000, 0), "1,000");
    EXPECT_EQ(FormatNumber(123456, 3), "123,456.000");
    EXPECT_EQ(FormatNumber(-2147483648.0, 0, 18), "-2,147,483,648");
}

TEST(NumberFormat, General) {
    EXPECT_EQ(FormatGeneral(0.5), "0.5");
    EXPECT_EQ(FormatGeneral(300.0), "300");
    EXPECT_EQ(FormatGeneral(1e20), "1E+20");
    EXPECT_EQ(FormatGeneral(-0.0), "0");
    EXPECT_EQ(FormatGeneral(0.1 + 0.2), "0.3");
}

TEST(NumberFormat, NonFinite) {
    EXPECT_EQ(FormatFixed(std::numeric_limits<double>::quiet_NaN(), 2), "NAN");
    EXPECT_EQ(FormatFixed(-std::numeric_limits<double>::infinity(), 2), "-INF");
    EXPECT_EQ(FormatGeneral(std::numeric_limits<double>::infinity()), "INF");
}

TEST(NumberParse, Doubles) {
    EXPECT_EQ(ParseDouble("1.5"), 1.5);
    EXPECT_EQ(ParseDouble(" 2 "), 2.0);
    EXPECT_EQ(ParseDouble("+3.25"), 3.25);
    EXPECT_EQ(ParseDouble("-1e3"), -1000.0);
    EXPECT_EQ(ParseDouble("1,5"), std::nullopt);
    EXPECT_EQ(ParseDouble("abc"), std::nullopt);
    EXPECT_EQ(ParseDouble(""), std::nullopt);
    EXPECT_EQ(ParseDouble("1.5x"), std::nullopt);
    EXPECT_EQ(ParseDouble("nan"), std::nullopt);
    EXPECT_EQ(ParseDouble("1e999"), std::nullopt);
    EXPECT_EQ(ParseDouble("+-1"), std::nullopt);
}

TEST(NumberParse, Integers) {
    EXPECT_EQ(ParseInteger("42"), 42);
    EXPECT_EQ(ParseInteger(" -7\r\n"), -7);
    EXPECT_EQ(ParseInteger("4.2"), std::nullopt);
    EXPECT_EQ(ParseInteger("99999999999999999999"), std::nullopt);
    EXPECT_EQ(ParseInteger(""), std::nullopt);
}

TEST(NumberFormat, IndependentOfTheProcessLocale) {
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    bool switched = false;
    for (const char *name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "C.UTF-8"})
        if (std::setlocale(LC_ALL, name)) {
            switched = true;
            break;
        }
    EXPECT_EQ(FormatFixed(1234.5, 1), "1234.5");
    EXPECT_EQ(FormatNumber(1234.5, 1), "1,234.5");
    EXPECT_EQ(ParseDouble("0.25"), 0.25);
    std::setlocale(LC_ALL, saved.c_str());
    if (!switched) GTEST_SKIP() << "no other locale installed";
}

} // namespace
