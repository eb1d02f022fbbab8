#pragma once

#include <cstdint>
#include <string>

#include "protocol/calendar.h"

// "07" for 7; numbers of two or more digits unchanged.
std::string TwoDigitText(unsigned n);

// v / 100 with a decimal comma whatever the locale: 1234 -> "12,34", 5 -> "0,05".
std::string HundredthsText(std::uint32_t v);

// DD.MM.20YY, with "--." for an invalid day or month and "----" for year byte 255.
std::string DateText(const DeviceDateTime& time);

// HH:MM:SS, with "--" for an invalid field.
std::string TimeText(const DeviceDateTime& time);

// "[" date "]-[" time "]".
std::string DateTimeText(const DeviceDateTime& time);
