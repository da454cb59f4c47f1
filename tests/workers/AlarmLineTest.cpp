// Alarm history line format: month names, 24-hour time, position padding, the units tab rule.
#include "workers/AlarmLine.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <stdexcept>

namespace kpd {
namespace {

const LocalDateTime kTime{2024, 3, 5, 14, 3, 9};

TEST(AlarmTime, MonthNamesAreFullEnglishNames) {
    const char *names[] = {"January", "February", "March",     "April",   "May",      "June",
                           "July",    "August",   "September", "October", "November", "December"};
    for (int m = 1; m <= 12; ++m) {
        LocalDateTime t = kTime;
        t.month = m;
        EXPECT_EQ(FormatAlarmTime(t), std::string(names[m - 1]) + " 5, 2024  at  14:03:09");
    }
}

TEST(AlarmTime, DayUnpaddedTimeTwoDigits24Hour) {
    EXPECT_EQ(FormatAlarmTime({2024, 1, 1, 0, 0, 0}), "January 1, 2024  at  00:00:00");
    EXPECT_EQ(FormatAlarmTime({1999, 12, 31, 23, 59, 59}), "December 31, 1999  at  23:59:59");
    EXPECT_EQ(FormatAlarmTime({2024, 7, 14, 13, 7, 5}), "July 14, 2024  at  13:07:05");
    EXPECT_EQ(FormatAlarmTime({999, 7, 14, 13, 7, 5}), "July 14, 0999  at  13:07:05") << "four-digit year";
}

TEST(AlarmTime, OutOfRangeFieldsAreRejected) {
    for (LocalDateTime t : {LocalDateTime{2024, 0, 1, 0, 0, 0}, LocalDateTime{2024, 13, 1, 0, 0, 0},
                            LocalDateTime{2024, 5, 0, 0, 0, 0}, LocalDateTime{2024, 5, 1, 24, 0, 0},
                            LocalDateTime{2024, 5, 1, 0, 60, 0}, LocalDateTime{2024, 5, 1, 0, 0, -1}}) {
        EXPECT_THROW(FormatAlarmTime(t), std::invalid_argument);
        EXPECT_THROW(FormatAlarmLine("1", "mm", t), std::invalid_argument);
    }
}

TEST(AlarmTime, FromTimePointUsesLocalTime) {
    const char *old = std::getenv("TZ");
    const std::string saved = old ? old : "";
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    // 2021-02-03 04:05:06 UTC
    const auto tp = std::chrono::system_clock::from_time_t(1612325106);
    const LocalDateTime t = LocalDateTime::FromTimePoint(tp);
    if (old)
        ::setenv("TZ", saved.c_str(), 1);
    else
        ::unsetenv("TZ");
    ::tzset();
    EXPECT_EQ(t.year, 2021);
    EXPECT_EQ(t.month, 2);
    EXPECT_EQ(t.day, 3);
    EXPECT_EQ(t.hour, 4);
    EXPECT_EQ(t.minute, 5);
    EXPECT_EQ(t.second, 6);
}

TEST(AlarmLine, MicronsGetsTheExtraTab) {
    EXPECT_EQ(FormatAlarmLine("12.34567", "microns", kTime),
              "\tOver Signal \t          12.34567\tmicrons\t\t   March 5, 2024  at  14:03:09");
}

TEST(AlarmLine, UnitsTabRule) {
    struct Case {
        const char *units;
        bool extraTab;
    } cases[] = {{"", true},          {"mm", true},          {"mils", true},
                 {"counts", true},    {"inches", true},      {"microns", true},
                 {"abcdefg", false},  {"nanometers", false}, {"microinches", false},
                 {"\xC2\xB5m", true}, {"Microns", false}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.units);
        const std::string line = FormatAlarmLine("1", c.units, kTime);
        const std::string expectedTail =
            std::string("\t") + c.units + (c.extraTab ? "\t" : "") + "\t   March 5, 2024  at  14:03:09";
        ASSERT_GE(line.size(), expectedTail.size());
        EXPECT_EQ(line.substr(line.size() - expectedTail.size()), expectedTail);
        EXPECT_EQ(line.substr(0, 14 + 18), "\tOver Signal \t" + std::string(17, ' ') + "1");
    }
}

TEST(AlarmLine, PositionPaddedOnTheLeftTo18Characters) {
    struct Case {
        std::string position;
        std::string shown;
    } cases[] = {
        {"", std::string(18, ' ')},
        {"0", std::string(17, ' ') + "0"},
        {"-1,234,567.12345", "  -1,234,567.12345"},
        {"123,456,789.123456", "123,456,789.123456"},     // exactly 18
        {"-123,456,789.1234567", "-123,456,789.1234567"}, // longer stays unchanged
        {"\xE2\x88\x92"
         "5",
         std::string(16, ' ') + "\xE2\x88\x92"
                                "5"}, // counted in characters
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.position);
        EXPECT_EQ(FormatAlarmLine(c.position, "mm", kTime),
                  "\tOver Signal \t" + c.shown + "\tmm\t\t   March 5, 2024  at  14:03:09");
    }
}

} // namespace
} // namespace kpd
