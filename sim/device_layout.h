#pragma once

#include <array>
#include <cstdint>

#include "sim/sim_options.h"

// Where things live in the simulated device's address space.
namespace device_layout {

// CPU flash: the boot loader's 8 KiB (with CpuInfo and Inf1Block), then the
// main program.
inline constexpr std::uint32_t kCpuFlashBase = 0x08000000;
inline constexpr std::uint32_t kCpuFlashSize = 0x20000;
inline constexpr std::uint32_t kMainProgramStart = 0x08002000;
inline constexpr std::uint32_t kCpuInfoAddress = 0x08000100;
inline constexpr std::uint32_t kInf1Address = 0x08000180;

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

std::array<std::uint8_t, 48> BuildCpuInfo(const SimOptions& options);
std::array<std::uint8_t, 16> BuildInf1Block(const SimOptions& options);

}  // namespace device_layout
