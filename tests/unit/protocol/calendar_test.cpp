#include <gtest/gtest.h>

#include <chrono>

#include "protocol/calendar.h"

namespace {

using namespace std::chrono;

DeviceDateTime Record(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    return {static_cast<std::uint8_t>(s),  static_cast<std::uint8_t>(mi),
            static_cast<std::uint8_t>(h),  static_cast<std::uint8_t>(d),
            static_cast<std::uint8_t>(mo), static_cast<std::uint8_t>(y - 2000)};
}

// Every civil day of 2000..2099, converted both ways, against the standard library's
// proleptic Gregorian calendar (which agrees with "every fourth year" inside this century).
TEST(DeviceCalendar, AgreesWithTheCivilCalendarForEveryDayOf2000To2099) {
    const sys_days epoch = year{2000} / January / 1;
    for (sys_days day = epoch; day < sys_days{year{2100} / January / 1}; day += days{1}) {
        const year_month_day date{day};
        const int y = static_cast<int>(date.year());
        const int mo = static_cast<int>(static_cast<unsigned>(date.month()));
        const int d = static_cast<int>(static_cast<unsigned>(date.day()));
        const auto dayIndex = static_cast<std::uint32_t>((day - epoch).count());

        ASSERT_EQ(DayNumber(y - 2000, mo, d), dayIndex + 1) << y << "-" << mo << "-" << d;
        const DeviceDateTime midnight = Record(y, mo, d);
        ASSERT_EQ(SecondsSince2000(midnight), dayIndex * 86400u) << y << "-" << mo << "-" << d;
        ASSERT_EQ(DateTimeOfSeconds(dayIndex * 86400u), midnight) << y << "-" << mo << "-" << d;
        if (d == 1) {
            const auto last = year_month_day_last{date.year(), month_day_last{date.month()}};
            ASSERT_EQ(DaysInMonth(mo, y - 2000), static_cast<int>(unsigned{last.day()}));
        }
    }
}

TEST(DeviceCalendar, TimesOfDayRoundTrip) {
    const sys_days epoch = year{2000} / January / 1;
    for (const sys_days day :
         {epoch, sys_days{year{2023} / March / 7}, sys_days{year{2024} / February / 29},
          sys_days{year{2099} / December / 31}}) {
        for (const auto& [h, mi, s] : {std::tuple{0, 0, 1}, std::tuple{14, 5, 9},
                                       std::tuple{23, 59, 59}, std::tuple{12, 0, 0}}) {
            const year_month_day date{day};
            const DeviceDateTime record =
                Record(static_cast<int>(date.year()), static_cast<int>(unsigned{date.month()}),
                       static_cast<int>(unsigned{date.day()}), h, mi, s);
            const auto expected = static_cast<std::uint32_t>(
                duration_cast<seconds>(day - epoch + hours{h} + minutes{mi} + seconds{s}).count());
            EXPECT_EQ(SecondsSince2000(record), expected);
            EXPECT_EQ(DateTimeOfSeconds(expected), record);
        }
    }
}

TEST(DeviceCalendar, WorkedValues) {
    EXPECT_EQ(SecondsSince2000(Record(2000, 1, 1)), 0u);
    EXPECT_EQ(SecondsSince2000(Record(2000, 3, 1)), 5184000u);
    EXPECT_EQ(SecondsSince2000(Record(2001, 1, 1)), 31622400u);
    EXPECT_EQ(SecondsSince2000(Record(2023, 3, 7, 14, 5, 9)), 731513109u);
    EXPECT_EQ(DateTimeOfSeconds(31536000), Record(2000, 12, 31));
    EXPECT_EQ(DateTimeOfSeconds(31622399), Record(2000, 12, 31, 23, 59, 59));
    EXPECT_EQ(DateTimeOfSeconds(31622400), Record(2001, 1, 1));
    EXPECT_EQ(DaysInMonth(2, 24), 29);
    EXPECT_EQ(DaysInMonth(2, 23), 28);
    EXPECT_EQ(DaysInMonth(13, 23), 0);
    EXPECT_EQ(DaysInMonth(0, 23), 0);
}

TEST(DeviceCalendar, InvalidFieldsCountAsTheDeviceCountsThem) {
    // Day 0 and an unknown month add nothing; a day number of 0 is not wrapped below zero.
    EXPECT_EQ(DayNumber(0, 0, 0), 0);
    EXPECT_EQ(SecondsSince2000(Record(2000, 1, 0, 1, 0, 0)), 3600u);
    EXPECT_EQ(DayNumber(0, 13, 40), DayNumber(0, 1, 0));
    // Year byte 255 overflows the 16-bit day number; the device wraps it the same way.
    EXPECT_EQ(DayNumber(255, 1, 1), static_cast<std::uint16_t>(365 * 255 + 64 + 1));
    // The largest count still decodes to a record within the byte ranges.
    const DeviceDateTime last = DateTimeOfSeconds(0xFFFFFFFFu);
    EXPECT_EQ(SecondsSince2000(last), 0xFFFFFFFFu);
}

TEST(DeviceDateTimeRecord, KeepsTheDeviceByteOrder) {
    const std::uint8_t bytes[] = {9, 5, 14, 7, 3, 23};
    const DeviceDateTime time = DeviceDateTime::FromBytes(bytes);
    EXPECT_EQ(time, Record(2023, 3, 7, 14, 5, 9));
    EXPECT_EQ(time.Bytes(), (std::array<std::uint8_t, 6>{9, 5, 14, 7, 3, 23}));
}

}  // namespace
