#pragma once

#include <array>
#include <cstdint>

// The device's date-time record, byte for byte as the device sends it. The
// calendar starts 2000-01-01 00:00:00 local time; every year divisible by 4
// (counted from 2000) is a leap year; no time zones, no daylight saving.
struct DeviceDateTime {
    std::uint8_t second = 0;
    std::uint8_t minute = 0;
    std::uint8_t hour = 0;
    std::uint8_t day = 0;
    std::uint8_t month = 0;
    std::uint8_t year = 0;  // year - 2000

    static constexpr std::size_t kSize = 6;

    static DeviceDateTime FromBytes(const std::uint8_t* bytes);
    // From a full year (2000 to 2255) and the other fields as they are written.
    static DeviceDateTime Of(int year, int month, int day, int hour = 0, int minute = 0,
                             int second = 0);
    std::array<std::uint8_t, kSize> Bytes() const;

    bool operator==(const DeviceDateTime&) const = default;
};

// Day 1 is 2000-01-01; `year` counts from 2000. The result wraps at 16 bits as
// the device computes it.
std::uint16_t DayNumber(int year, int month, int day);

std::uint32_t SecondsSince2000(const DeviceDateTime& time);

DeviceDateTime DateTimeOfSeconds(std::uint32_t seconds);

// 28 to 31; 0 for a month outside 1..12. `year` counts from 2000.
int DaysInMonth(int month, int year);
