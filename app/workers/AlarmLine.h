// One line of the alarm history: "\tOver Signal \t<position>\t<units>[\t]\t   <date>  at  <time>".
#pragma once

#include <chrono>
#include <string>

namespace kpd {

// A broken-down local date and time, so that callers (and tests) choose the clock.
struct LocalDateTime {
    int year = 2000;
    int month = 1; // 1 = January .. 12 = December
    int day = 1;   // 1 .. 31
    int hour = 0;  // 0 .. 23
    int minute = 0;
    int second = 0;

    // The local time of a clock reading (localtime_r).
    static LocalDateTime FromTimePoint(std::chrono::system_clock::time_point t);
    static LocalDateTime Now() { return FromTimePoint(std::chrono::system_clock::now()); }
};

// Width the position text is padded to (with spaces on the left; longer texts stay as they are).
inline constexpr std::size_t kAlarmPositionWidth = 18;

// "March 5, 2024  at  14:03:09": full English month name, day without padding, four-digit year, the word
// "at" between two blanks on each side, 24-hour time with two-digit fields. Throws std::invalid_argument for
// a date or time out of range.
std::string FormatAlarmTime(const LocalDateTime &t);

// The over-signal history line. Lengths are counted in characters (UTF-8 code points), not bytes. A second
// tab follows the units text when it is shorter than 7 characters or is "microns", so that the time column
// lines up for the unit names the program uses.
std::string FormatAlarmLine(const std::string &positionText, const std::string &unitsText,
                            const LocalDateTime &t);

} // namespace kpd
