#pragma once

#include <cstdint>
#include <string>

// Texts of one dose-rate reading, chosen by the device's units code.
std::string RateUnitText(std::uint8_t units);
std::string RateNumberText(std::uint8_t units, std::uint32_t value);

// A text the device keeps in its memory: the bytes up to the first zero, or all
// `capacity` bytes when none is zero. A text that is not valid UTF-8 is read as
// Windows-1251, so a Cyrillic unit never reaches the screen as broken characters.
std::string DeviceText(const std::uint8_t* bytes, std::size_t capacity);
