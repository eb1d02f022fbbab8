#pragma once

#include <nlohmann/json.hpp>
#include <string_view>

// The records of a history CSV export as objects, in its order: the row, the
// start as ISO 8601 and in seconds since 2000, the length, the pulses, the
// sensors, the calibration and the dose rate in µSv/h that the row's formula
// gives.
nlohmann::ordered_json CsvRecordsJson(std::string_view csv);
