#pragma once

#include <cstdint>
#include <optional>
#include <span>

// The firmware the program carries, sent to the device unchanged.
using ImageBytes = std::span<const std::uint8_t>;

// The external-flash image of a board; none for a board without one.
std::optional<ImageBytes> ExternalFlashImage(std::uint16_t boardCode);
// The CPU image of a board and hardware revision; none for other combinations.
std::optional<ImageBytes> CpuImage(std::uint16_t boardCode, std::uint8_t revision);

// The main-program version the carried images hold: 0x0C06 for board 310,
// 0x0C03 for board 520, 0 for any other board.
std::uint16_t CarriedMainVersion(std::uint16_t boardCode);
