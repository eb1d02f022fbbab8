#include <gtest/gtest.h>

#include "settings/device_clock.h"

namespace {

std::tm Local(int year, int month, int day, int hour, int minute, int second) {
    std::tm local{};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_hour = hour;
    local.tm_min = minute;
    local.tm_sec = second;
    local.tm_isdst = -1;
    std::mktime(&local);  // fills the day of the week
    return local;
}

TEST(DeviceClockTest, RecordOfTheLocalTimeWithTheIsoWeekday) {
    const auto sunday = ClockRecordOf(Local(2026, 12, 6, 23, 59, 58));
    ASSERT_TRUE(sunday);
    EXPECT_EQ(sunday->ToBytes(), (std::array<std::uint8_t, 7>{58, 59, 23, 6, 12, 26, 7}));
    const auto monday = ClockRecordOf(Local(2000, 1, 3, 0, 0, 0));
    ASSERT_TRUE(monday);
    EXPECT_EQ(monday->ToBytes(), (std::array<std::uint8_t, 7>{0, 0, 0, 3, 1, 0, 1}));
    EXPECT_EQ(ClockRecordOf(Local(2099, 12, 31, 12, 0, 0))->year, 99);
}

TEST(DeviceClockTest, RefusesYearsTheDeviceCalendarCannotHold) {
    EXPECT_FALSE(ClockRecordOf(Local(1999, 12, 31, 23, 59, 59)));
    EXPECT_FALSE(ClockRecordOf(Local(2100, 1, 1, 0, 0, 0)));
}

}  // namespace
