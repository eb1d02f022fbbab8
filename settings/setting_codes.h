#pragma once

#include <cstdint>
#include <optional>

#include "protocol/device_models.h"
#include "settings/choice_lists.h"

inline constexpr std::uint16_t kParamCalibration = 4;

// Codes: a list's code is the choice's position; a flag's code is 1 for on, on
// every model, whatever the device stores.
std::optional<int> CodeOfDeviceValue(const SettingBinding& binding, std::uint32_t value);
std::uint32_t DeviceValueOfCode(const SettingBinding& binding, int code);
// Whether `code` names a choice of the list (or is 0 or 1 for a flag).
bool CodeInRange(const SettingBinding& binding, int code);
