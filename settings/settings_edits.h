#pragma once

#include <string>
#include <vector>

#include "settings/settings_values.h"

// Helpers for front ends that name settings by key, such as the command line.

// Applies "key=code" assignments; every one is checked before any is applied.
// Returns the first fault in the current language, or empty when all applied.
std::string ApplyAssignments(SettingsValues& values, const std::vector<std::string>& assignments);

// The text a page shows for setting `index` ("Roentgen", "1,2 uSv/h", "on"),
// empty for an undefined list. Threshold texts follow the units of `values`.
std::string ShownText(const SettingsValues& values, std::size_t index);

// Keys whose codes differ between two value sets of one model.
std::vector<std::string> DifferingKeys(const SettingsValues& a, const SettingsValues& b);
