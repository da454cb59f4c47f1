#include "data/DataNumberFormat.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

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

std::string_view StripPlus(std::string_view text) {
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    return text;
}

} // namespace

std::string FormatExponent(double value, int precision) {
    if (!std::isfinite(value)) return ToChars(value, std::chars_format::general, 1);
    if (precision < 1) precision = 1;
    std::string text = ToChars(value, std::chars_format::scientific, precision - 1); // d.ddde+XX
    const auto e = text.find('e');
    std::string mantissa = text.substr(0, e);
    std::string exponent = text.substr(e + 1); // sign and at least two digits
    TrimFraction(mantissa);
    return mantissa + "E" + exponent;
}

std::string FormatFixed(double value, int decimals, int precision) {
    if (!std::isfinite(value)) return ToChars(value, std::chars_format::general, 1);
    std::string text = ToChars(value, std::chars_format::fixed, decimals);
    const auto point = text.find('.');
    const auto integerEnd = point == std::string::npos ? text.size() : point;
    const auto integerDigits = static_cast<int>(integerEnd - (text[0] == '-' ? 1 : 0));
    if (integerDigits > precision) return FormatExponent(value, precision);
    return text;
}

std::string FormatGeneral(double value, int precision) {
    if (!std::isfinite(value)) return ToChars(value, std::chars_format::general, 1);
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
