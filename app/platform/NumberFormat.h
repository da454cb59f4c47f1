#pragma once
// Number formatting and parsing in the C locale, whatever the user's locale: the decimal separator is
// always "." and the thousands separator ",".

#include <optional>
#include <string>
#include <string_view>

namespace platform {

// Fixed notation with `decimals` decimals after rounding to `precision` significant digits; when the
// integer part needs more than `precision` digits the value is shown in scientific notation
// ("1.23457E+006" style: mantissa of `precision` digits, sign and at least three exponent digits).
// FormatFixed(12.34, 1) == "12.3"; a result that rounds to zero never shows a minus sign.
std::string FormatFixed(double value, int decimals, int precision = 15);

// Like FormatFixed with thousands separators: FormatNumber(1234567.5, 2) == "1,234,567.50".
std::string FormatNumber(double value, int decimals, int precision = 15);

// Shortest general form with up to `precision` significant digits: 0.5 -> "0.5", 300 -> "300",
// 1e20 -> "1E+20".
std::string FormatGeneral(double value, int precision = 15);

// Whole-string parses in the C locale (leading and trailing spaces allowed); nothing on any error.
std::optional<double> ParseDouble(std::string_view text);
std::optional<long long> ParseInteger(std::string_view text);

} // namespace platform
