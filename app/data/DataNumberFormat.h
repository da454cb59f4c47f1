// Number text of the data files, always with a point as decimal separator whatever the user's locale.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace DataNumberFormat {

// Every value the files hold is a 32-bit float, and the loader reads only finite ones back. So that a saved
// file always loads, the three formatters write a value outside the finite float range as the nearest
// finite float: NaN as 0, +infinity (and anything above the largest float) as the largest float,
// -infinity as its negative ("3.4028E+38" in a five-digit column). A save never fails because of a value.

// Fixed notation with exactly `decimals` digits after the point, carrying at most `precision` significant
// digits: the value is rounded once, to `precision` significant digits or to `decimals` decimals, whichever
// keeps fewer digits, and the digits beyond the precision are written as zeros (12345.678f with 8
// decimals and precision 12 gives "12345.67773440"). A value with more digits before the point than
// `precision` after that rounding is written in exponent form instead (FormatExponent).
std::string FormatFixed(double value, int decimals, int precision);
// Exponent form with up to `precision` significant digits: mantissa without trailing zeros, "E", signed
// exponent of at least two digits ("1.2346E+05", "-1E+12").
std::string FormatExponent(double value, int precision);
// Shortest general form with up to `precision` significant digits: fixed notation without trailing zeros
// while the decimal exponent is between -5 and precision - 1, else exponent form ("0.001", "1E-06").
std::string FormatGeneral(double value, int precision = 15);

// Whole-token parsers; false for empty text, stray characters, out-of-range or non-finite values.
// An optional leading '+' is accepted.
bool ParseInt32(std::string_view text, int32_t &value);
bool ParseUInt16(std::string_view text, uint16_t &value);
bool ParseFloat(std::string_view text, float &value);

} // namespace DataNumberFormat
