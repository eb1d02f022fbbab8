#pragma once

#include <cstdint>
#include <functional>

// Milliseconds of a steady clock as a 32-bit count; callers rely on unsigned
// wrap-around when they subtract two readings.
using TickClock = std::function<std::uint32_t()>;

std::uint32_t SystemTicks();

inline std::uint32_t TicksSince(std::uint32_t start, std::uint32_t now) {
    return now - start;
}
