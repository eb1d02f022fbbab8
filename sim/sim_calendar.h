#pragma once

#include <cstdint>
#include <optional>

#include "measure/calendar.h"

// The device's clock on the program's calendar: seconds since 2000-01-01
// 00:00:00 local time.
namespace sim_calendar {

// None for a record the device's clock cannot hold (a field out of range, or a
// year past what 32-bit seconds reach).
std::optional<std::uint32_t> ToSeconds(const DeviceDateTime& time);

// Seconds since 2000 of the machine's local time now.
std::uint32_t LocalNow();

}  // namespace sim_calendar
