#pragma once

#include <ctime>
#include <functional>
#include <optional>

#include "protocol/device_records.h"

// The PC's local date and time broken down; tests pass a fixed one.
using LocalTimeSource = std::function<std::tm()>;
std::tm PcLocalTime();

// The clock record for a local time: seconds to year - 2000, then the ISO day
// of the week (1 Monday to 7 Sunday). None for a year the device calendar
// cannot hold (before 2000 or after 2099).
std::optional<DeviceTimeRecord> ClockRecordOf(const std::tm& local);

// What the clock field shows after a failed read: every byte 0xFF.
DeviceTimeRecord UnknownClockRecord();
