#pragma once

#include <string>

// Unit systems as the device's units parameter codes them.
enum class UnitSystem : int { Sievert = 0, Roentgen = 1, Counts = 2 };

// Names of the dose-rate and dose units in the current interface language.
// A unit system or prefix step outside 0..2 falls back to Sievert, step 0.
const std::string& RateUnitName(int unitSystem, int step);
const std::string& DoseUnitName(int unitSystem, int step);

// The history chart always shows micro-Roentgen per hour under its own label.
const std::string& HistoryRateUnitName();
