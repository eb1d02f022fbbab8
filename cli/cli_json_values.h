#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>

// Values as scripts take them.

// A number the device or the pages write with a decimal comma ("1,27"); null
// for a text that is no number.
nlohmann::ordered_json DecimalJson(std::string text);

// A version as its two numbers and its text; null for 0, which a device in
// its boot loader reports for the main program it lacks.
nlohmann::ordered_json VersionJson(std::uint16_t version);
