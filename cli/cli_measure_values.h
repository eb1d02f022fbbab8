#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include "measure/measure_page_state.h"

// One reading of the measurement page for scripts: the dose rate and the dose
// as numbers, in µSv/h and µSv where the device counts in sieverts, otherwise
// in the device's own unit, each with a unit code that no language changes.
nlohmann::ordered_json MeasureJson(const MeasurePageState& state);

// The reading as a line: the rate and the dose, their units in the interface
// language.
std::string MeasureLine(const MeasurePageState& state);
