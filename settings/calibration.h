#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The calibration coefficient K, kept by the device as V = K x 100.
inline constexpr std::uint32_t kCalibrationMin = 10;
inline constexpr std::uint32_t kCalibrationMax = 999;
inline constexpr std::size_t kCalibrationTextLength = 10;

// Whether a typed character may enter the calibration field: digits, "," and
// "." and control characters (Backspace, the clipboard keys).
bool CalibrationKeyAllowed(char32_t typed);

// V of a field text such as "1,27", "1.5", "2" or "1,"; none when the text is
// not a number of that form. Exact for every input: a whole part of ten or more
// always comes out above 999.
std::optional<std::uint64_t> ParseCalibration(const std::string& text);

bool CalibrationInRange(std::uint64_t value);

// "1,27" for 127: the whole part, a comma and two digits.
std::string CalibrationText(std::uint32_t value);

// The text shown for a value the device reports: clamped into 10..999.
std::string CalibrationDisplayText(std::uint32_t deviceValue);

enum class CalibrationCheck { Valid, FormatError, RangeError };

// Parses and checks a field text; `value` is set when Valid.
CalibrationCheck CheckCalibration(const std::string& text, std::uint32_t& value);

// The setting's name: the page's group caption and the save's failure text.
std::string CalibrationSettingName();

// The error box text for a failed check, naming the text as typed.
std::string CalibrationErrorMessage(CalibrationCheck check, const std::string& text);
