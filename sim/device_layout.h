#pragma once

#include <array>
#include <cstdint>

#include "sim/sim_options.h"

// Where things live in the simulated device's address space.
namespace device_layout {

// CPU flash: the boot loader's pages first, then the main program's.
inline constexpr std::uint32_t kCpuFlashBase = 0x08000000;
inline constexpr std::uint32_t kCpuFlashSize = 0x20000;
inline constexpr std::uint32_t kCpuFlashEnd = kCpuFlashBase + kCpuFlashSize;

// RAM holding the live values.
inline constexpr std::uint32_t kRamBase = 0x20000000;
inline constexpr std::uint32_t kRamSize = 0x1000;
inline constexpr std::uint32_t kRateAddress = 0x20000100;        // parameter 0xC001
inline constexpr std::uint32_t kCountAddress = 0x20000104;       // parameter 0xC004
inline constexpr std::uint32_t kLevelBlockAddress = 0x20000108;  // parameter 0xC002
inline constexpr std::uint32_t kDoseTextAddress = 0x20000110;    // parameter 0xC015
inline constexpr std::uint32_t kDoseUnitAddress = 0x20000120;    // parameter 0xC016

inline constexpr std::uint32_t kExternalFlashSize = 8 * 1024 * 1024;
inline constexpr std::uint32_t kExternalSector = 4096;

// The address at which a CPU of this type keeps its 12-byte unique id; old
// boot loaders (0x0106 and below) place it at 0x1FFFF7E8 whatever the CPU.
std::uint32_t UniqueIdAddress(int cpuType, std::uint16_t bootVersion);

// Erase page of the CPU flash; 0 for an unknown CPU type.
std::uint32_t CpuFlashPageSize(int cpuType);

// Where one device keeps its boot loader's records (the CpuInfo block that
// SoftInfo points at, the Inf1Block that CpuInfo points at) and its main
// program, by the profile's placement:
// - below the program: the boot loader's 8 KiB hold the records, the main
//   program fills the rest of the CPU flash;
// - above the program: a 16 KiB boot loader, then the main program, and the
//   records in the last 512 bytes (at least one erase page) of the CPU flash;
// - another area: a 24 KiB boot loader, then the main program to the end of
//   the CPU flash, and the records in a 64 KiB memory area of their own at
//   0x08080000, which no CPU-flash command reaches.
struct Layout {
    std::uint32_t mainProgramStart = 0;
    // Past the last byte the main program may fill; CPU-flash writes and
    // erases outside [mainProgramStart, mainProgramEnd) are refused.
    std::uint32_t mainProgramEnd = 0;
    std::uint32_t cpuInfoAddress = 0;
    std::uint32_t inf1Address = 0;
    // The records' own area; size 0 when they lie in the CPU flash.
    std::uint32_t recordAreaBase = 0;
    std::uint32_t recordAreaSize = 0;
};

Layout LayoutOf(const SimOptions& options);

std::array<std::uint8_t, 48> BuildCpuInfo(const SimOptions& options);
std::array<std::uint8_t, 16> BuildInf1Block(const SimOptions& options);

}  // namespace device_layout
