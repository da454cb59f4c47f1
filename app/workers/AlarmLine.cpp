#include "workers/AlarmLine.h"

#include <array>
#include <ctime>
#include <stdexcept>

namespace kpd {

namespace {

constexpr std::array<const char *, 12> kMonthNames = {"January",   "February", "March",    "April",
                                                      "May",       "June",     "July",     "August",
                                                      "September", "October",  "November", "December"};

// Characters of a UTF-8 text: every byte that does not continue a multi-byte sequence starts one.
std::size_t CharacterCount(const std::string &s) {
    std::size_t n = 0;
    for (unsigned char c : s)
        if ((c & 0xC0) != 0x80) ++n;
    return n;
}

void AppendNumber(std::string &out, int value, int width) {
    std::string digits = std::to_string(value);
    if (digits.size() < std::size_t(width)) out.append(std::size_t(width) - digits.size(), '0');
    out += digits;
}

} // namespace

LocalDateTime LocalDateTime::FromTimePoint(std::chrono::system_clock::time_point t) {
    const std::time_t secs = std::chrono::system_clock::to_time_t(t);
    std::tm tm{};
    if (!localtime_r(&secs, &tm)) throw std::runtime_error("local time conversion failed");
    LocalDateTime r;
    r.year = tm.tm_year + 1900;
    r.month = tm.tm_mon + 1;
    r.day = tm.tm_mday;
    r.hour = tm.tm_hour;
    r.minute = tm.tm_min;
    r.second = tm.tm_sec;
    return r;
}

std::string FormatAlarmTime(const LocalDateTime &t) {
    if (t.month < 1 || t.month > 12) throw std::invalid_argument("alarm time: month out of range");
    if (t.day < 1 || t.day > 31) throw std::invalid_argument("alarm time: day out of range");
    if (t.year < 0 || t.year > 9999) throw std::invalid_argument("alarm time: year out of range");
    if (t.hour < 0 || t.hour > 23 || t.minute < 0 || t.minute > 59 || t.second < 0 || t.second > 60)
        throw std::invalid_argument("alarm time: time of day out of range");
    std::string s = kMonthNames[std::size_t(t.month - 1)];
    s += ' ';
    s += std::to_string(t.day);
    s += ", ";
    AppendNumber(s, t.year, 4);
    // The time format is "mmmm d, yyyy ' at ' hh:mm:ss": the blanks around the quoted " at " are literal
    // too, so the word stands between two blanks on each side.
    s += "  at  ";
    AppendNumber(s, t.hour, 2);
    s += ':';
    AppendNumber(s, t.minute, 2);
    s += ':';
    AppendNumber(s, t.second, 2);
    return s;
}

std::string FormatAlarmLine(const std::string &positionText, const std::string &unitsText,
                            const LocalDateTime &t) {
    const std::string time = FormatAlarmTime(t);
    std::string line = "\tOver Signal \t";
    const std::size_t posChars = CharacterCount(positionText);
    if (posChars < kAlarmPositionWidth) line.append(kAlarmPositionWidth - posChars, ' ');
    line += positionText;
    line += '\t';
    line += unitsText;
    if (CharacterCount(unitsText) < 7 || unitsText == "microns") line += '\t';
    line += "\t   ";
    line += time;
    return line;
}

} // namespace kpd
