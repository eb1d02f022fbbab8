#pragma once

#include <string>

#include "protocol/device_records.h"

// "[date]-[time]" of the first six bytes of a clock record, as the page shows it.
std::string ClockRecordText(const DeviceTimeRecord& time);

// A save's failure text followed by the setting the device did not take.
std::string NotTakenMessage(const std::string& failure, const std::string& setting);
