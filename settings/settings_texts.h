#pragma once

#include <functional>
#include <string>

#include "protocol/device_records.h"

// The unit names of the threshold lists and the text of the device clock,
// as functions, so that tests may pass their own.
struct SettingsTexts {
    // Name of the unit for (unit system 0..2, prefix steps 0..2), current language.
    std::function<std::string(int unitSystem, int step)> rateUnitName;
    std::function<std::string(int unitSystem, int step)> doseUnitName;
    // "[date]-[time]" of the first six bytes of a clock record.
    std::function<std::string(const DeviceTimeRecord& time)> clockText;
};

// The device's own unit names and clock text.
SettingsTexts DeviceSettingsTexts();
