#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// The records the device reports. All numbers on the link are little-endian.

struct SoftInfo {
    static constexpr std::size_t kSize = 8;
    std::uint16_t bootVersion = 0;  // high byte major, low byte minor
    std::uint16_t mainVersion = 0;  // 0: the device runs its boot loader
    std::uint32_t cpuInfoAddress = 0;

    static SoftInfo FromBytes(const std::uint8_t* bytes);
    bool BootMode() const { return mainVersion == 0; }
};

struct CpuInfo {
    static constexpr std::size_t kSize = 48;
    std::array<std::uint8_t, kSize> bytes{};

    std::uint16_t Type() const;
    std::uint32_t StoredInf1Address() const;
    std::uint32_t StoredStartAddress() const;
};

struct BoardInfo {
    static constexpr std::size_t kSize = 4;
    std::uint16_t boardCode = 0;
    std::uint8_t revision = 0;
    std::uint8_t variant = 0;

    static BoardInfo FromBytes(const std::uint8_t* bytes);
};

struct ParamRecord {
    static constexpr std::size_t kShortSize = 6;
    static constexpr std::size_t kFullSize = 22;
    std::uint16_t id = 0;
    std::uint32_t value = 0;
    std::array<std::uint8_t, 16> further{};

    // Copies `length` (6 or 22) answer bytes over the start of the record.
    void Overwrite(const std::uint8_t* bytes, std::size_t length);
};

struct DeviceTimeRecord {
    static constexpr std::size_t kSize = 7;
    std::uint8_t second = 0;
    std::uint8_t minute = 0;
    std::uint8_t hour = 0;
    std::uint8_t day = 0;
    std::uint8_t month = 0;
    std::uint8_t year = 0;      // year minus 2000
    std::uint8_t reserved = 0;  // not interpreted; sent as 0

    static DeviceTimeRecord FromBytes(const std::uint8_t* bytes);
    std::array<std::uint8_t, kSize> ToBytes() const;
};

using UniqueId = std::array<std::uint8_t, 12>;
using Inf1Block = std::array<std::uint8_t, 16>;

// Values that follow from the CPU type (0 or true for types the program does not know).
std::uint32_t FlashPageSize(std::uint16_t cpuType);
std::uint32_t UniqueIdAddress(std::uint16_t cpuType, std::uint16_t bootVersion);
bool IsOtherCpu(std::uint16_t cpuType);
std::uint32_t Inf1BlockAddress(const CpuInfo& info);
std::uint32_t MainProgramStart(const CpuInfo& info);

// Little-endian helpers for the records and the requests.
std::uint16_t ReadLe16(const std::uint8_t* bytes);
std::uint32_t ReadLe32(const std::uint8_t* bytes);
void WriteLe16(std::uint8_t* bytes, std::uint16_t value);
void WriteLe32(std::uint8_t* bytes, std::uint32_t value);
