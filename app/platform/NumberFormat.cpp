#include "platform/NumberFormat.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace platform {
namespace {

std::string NonFinite(double value) {
    if (std::isnan(value)) return "NAN";
    return value < 0 ? "-INF" : "INF";
}

std::string ToChars(double value, std::chars_format format, int precision) {
    char buf[400];
    const auto res = std::to_chars(buf, buf + sizeof buf, value, format, precision);
    if (res.ec != std::errc()) return NonFinite(value);
    return std::string(buf, res.ptr);
}

// "1.5e+07" -> "1.5E+007": upper-case E, sign always, at least three exponent digits.
std::string WideExponent(const std::string &s) {
    const auto e = s.find('e');
    if (e == std::string::npos) return s;
    std::string mantissa = s.substr(0, e);
    std::string exp = s.substr(e + 1);
    char sign = '+';
    if (!exp.empty() && (exp.front() == '+' || exp.front() == '-')) {
        sign = exp.front();
        exp.erase(0, 1);
    }
    while (exp.size() < 3)
        exp.insert(exp.begin(), '0');
    return mantissa + "E" + sign + exp;
}

void DropNegativeZero(std::string &s) {
    if (!s.empty() && s.front() == '-' &&
        std::all_of(s.begin() + 1, s.end(), [](char c) { return c == '0' || c == '.'; }))
        s.erase(0, 1);
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r' || s.back() == '\n'))
        s.remove_suffix(1);
    return s;
}

// Drops one leading '+' (from_chars does not take it); false when no number can follow.
bool StripPlus(std::string_view &text) {
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && (text.front() == '+' || text.front() == '-')) return false;
    }
    return !text.empty() && text.front() != ' ' && text.front() != '\t';
}

// Decimal exponent of |value| after rounding to `precision` significant digits (value != 0).
int RoundedExponent(double value, int precision) {
    const std::string s = ToChars(value, std::chars_format::scientific, precision - 1);
    const auto e = s.find('e');
    return e == std::string::npos ? 0 : std::atoi(s.c_str() + e + 1);
}

} // namespace

std::string FormatFixed(double value, int decimals, int precision) {
    if (!std::isfinite(value)) return NonFinite(value);
    decimals = std::clamp(decimals, 0, 18);
    precision = std::clamp(precision, 1, 17);
    if (value != 0.0 && RoundedExponent(value, precision) >= precision)
        return WideExponent(ToChars(value, std::chars_format::scientific, precision - 1));
    // Round to the significant digits first, then to the decimals.
    double rounded = value;
    if (value != 0.0) {
        const std::string sig = ToChars(value, std::chars_format::scientific, precision - 1);
        std::from_chars(sig.data(), sig.data() + sig.size(), rounded);
    }
    std::string out = ToChars(rounded, std::chars_format::fixed, decimals);
    DropNegativeZero(out);
    return out;
}

std::string FormatNumber(double value, int decimals, int precision) {
    std::string s = FormatFixed(value, decimals, precision);
    if (s.find('E') != std::string::npos || s.find('N') != std::string::npos) return s;
    const std::size_t start = (!s.empty() && s.front() == '-') ? 1 : 0;
    std::size_t end = s.find('.');
    if (end == std::string::npos) end = s.size();
    for (std::size_t pos = end; pos > start + 3; pos -= 3)
        s.insert(pos - 3, 1, ',');
    return s;
}

std::string FormatGeneral(double value, int precision) {
    if (!std::isfinite(value)) return NonFinite(value);
    precision = std::clamp(precision, 1, 17);
    std::string s = ToChars(value, std::chars_format::general, precision);
    const auto e = s.find('e');
    if (e != std::string::npos) s[e] = 'E';
    DropNegativeZero(s);
    return s;
}

std::optional<double> ParseDouble(std::string_view text) {
    text = Trim(text);
    if (!StripPlus(text)) return std::nullopt;
    double value = 0;
    const auto res =
        std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
    if (res.ec != std::errc() || res.ptr != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<long long> ParseInteger(std::string_view text) {
    text = Trim(text);
    if (!StripPlus(text)) return std::nullopt;
    long long value = 0;
    const auto res = std::from_chars(text.data(), text.data() + text.size(), value);
    if (res.ec != std::errc() || res.ptr != text.data() + text.size()) return std::nullopt;
    return value;
}

} // namespace platform
