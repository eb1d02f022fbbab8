#pragma once

#include <array>
#include <cstdint>

// The device's own calendar: seconds since 2000-01-01 00:00:00 local time,
// every year divisible by four a leap year (the device knows no other rule).
namespace sim_calendar {

// second, minute, hour, day, month, year - 2000
using DateTime = std::array<std::uint8_t, 6>;

DateTime FromSeconds(std::uint32_t seconds);

// None for a record outside the calendar's ranges.
bool ToSeconds(const DateTime& time, std::uint32_t& seconds);

// Seconds since 2000 of the machine's local time now.
std::uint32_t LocalNow();

}  // namespace sim_calendar
