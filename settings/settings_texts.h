#pragma once

#include <functional>
#include <string>

#include "protocol/device_records.h"

// Texts that the measurement subsystem owns and the settings reuse: the unit
// names of the threshold lists and the text of the device clock. The front end
// passes them in, so the settings never reach into a sibling subsystem.
struct SettingsTexts {
    // Name of the unit for (unit system 0..2, prefix steps 0..2), current language.
    std::function<std::string(int unitSystem, int step)> rateUnitName;
    std::function<std::string(int unitSystem, int step)> doseUnitName;
    // "[date]-[time]" of the first six bytes of a clock record.
    std::function<std::string(const DeviceTimeRecord& time)> clockText;
};
