#pragma once

#include <cstdint>
#include <optional>

#include "protocol/device_models.h"

// The external-flash image of a board; none for a board without one.
std::optional<ImageBytes> ExternalFlashImage(std::uint16_t boardCode);
// The CPU image of a board and hardware revision; none for other combinations.
std::optional<ImageBytes> CpuImage(std::uint16_t boardCode, std::uint8_t revision);

// The main-program version the carried images hold; 0 for a board the program
// carries no firmware for.
std::uint16_t CarriedMainVersion(std::uint16_t boardCode);
