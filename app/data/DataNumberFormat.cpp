#include "data/DataNumberFormat.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace DataNumberFormat {

namespace {

std::string ToChars(double value, std::chars_format format, int precision) {
    char buffer[400];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, format, precision);
    return std::string(buffer, result.ptr);
}

// Removes trailing zeros after a decimal point, and the point itself when nothing follows it.
void TrimFraction(std::string &text) {
    if (text.find('.') == std::string::npos) return;
    while (!text.empty() && text.back() == '0')
        text.pop_back();
    if (!text.empty() && text.back() == '.') text.pop_back();
}

// The value a formatter writes: the value itself when it is a finite float, else the nearest finite float.
double Writable(double value) {
    constexpr double largest = std::numeric_limits<float>::max();
    if (std::isnan(value)) return 0.0;
    if (value > largest) return largest;
    if (value < -largest) return -largest;
    return value;
}

std::string_view StripPlus(std::string_view text) {
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    return text;
}

} // namespace

std::string FormatExponent(double value, int precision) {
    value = Writable(value);
    if (precision < 1) precision = 1;
    std::string text = ToChars(value, std::chars_format::scientific, precision - 1); // d.ddde+XX
    const auto e = text.find('e');
    std::string mantissa = text.substr(0, e);
    std::string exponent = text.substr(e + 1); // sign and at least two digits
    TrimFraction(mantissa);
    return mantissa + "E" + exponent;
}

std::string FormatFixed(double value, int decimals, int precision) {
    value = Writable(value);
    if (precision < 1) precision = 1;
    if (decimals < 0) decimals = 0;
    // The value rounded to `precision` significant digits, and the decimal exponent of that rounding.
    const std::string scientific = ToChars(value, std::chars_format::scientific, precision - 1);
    const auto e = scientific.find('e');
    const int exponent = std::atoi(scientific.c_str() + e + 1);
    if (exponent + 1 > precision) return FormatExponent(value, precision);
    // The last significant digit lies beyond the decimals: the decimals limit the digits, and the value
    // is rounded to them directly (rounding twice could round a digit up that a single rounding keeps).
    if (exponent - precision + 1 < -decimals) return ToChars(value, std::chars_format::fixed, decimals);

    // Otherwise the rounded digits are written as they are and the decimals filled up with zeros.
    std::string digits; // the `precision` significant digits, without sign and point
    for (std::size_t i = 0; i < e; ++i)
        if (scientific[i] >= '0' && scientific[i] <= '9') digits += scientific[i];
    std::string text = scientific[0] == '-' ? "-" : "";
    std::string fraction;
    if (exponent >= 0) {
        const auto integerDigits = static_cast<std::size_t>(exponent) + 1;
        text += digits.substr(0, integerDigits);
        fraction = digits.substr(integerDigits);
    } else {
        text += '0';
        fraction = std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
    }
    if (decimals > 0) {
        fraction.resize(static_cast<std::size_t>(decimals), '0'); // never longer: checked above
        text += '.';
        text += fraction;
    }
    return text;
}

std::string FormatGeneral(double value, int precision) {
    value = Writable(value);
    if (value == 0.0) return "0";
    if (precision < 1) precision = 1;
    // The exponent after rounding to `precision` digits decides the form.
    const std::string scientific = ToChars(value, std::chars_format::scientific, precision - 1);
    const int exponent = std::atoi(scientific.c_str() + scientific.find('e') + 1);
    if (exponent < -5 || exponent >= precision) return FormatExponent(value, precision);
    std::string text = ToChars(value, std::chars_format::fixed, precision - 1 - exponent);
    TrimFraction(text);
    return text;
}

bool ParseInt32(std::string_view text, int32_t &value) {
    text = StripPlus(text);
    if (text.empty()) return false;
    int32_t parsed = 0;
    auto result = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size()) return false;
    value = parsed;
    return true;
}

bool ParseUInt16(std::string_view text, uint16_t &value) {
    text = StripPlus(text);
    if (text.empty() || text.front() == '-') return false;
    uint16_t parsed = 0;
    auto result = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size()) return false;
    value = parsed;
    return true;
}

bool ParseFloat(std::string_view text, float &value) {
    text = StripPlus(text);
    if (text.empty() || text.front() == '+') return false;
    float parsed = 0.0f;
    auto result = std::from_chars(text.data(), text.data() + text.size(), parsed, std::chars_format::general);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size()) return false;
    if (!std::isfinite(parsed)) return false;
    value = parsed;
    return true;
}

} // namespace DataNumberFormat
