#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "protocol/device_records.h"

// What identification learned of the connected device. Only a complete,
// successful identification sets `valid`.
struct DeviceInfo {
    bool valid = false;
    Inf1Block inf1{};
    UniqueId uid{};
    std::uint16_t bootVersion = 0;  // high byte major, low byte minor
    std::uint16_t mainVersion = 0;  // 0: the device runs its boot loader
    std::uint32_t cpuInfoAddress = 0;
    BoardInfo board{};
    std::string modelName;

    void Clear() { *this = DeviceInfo{}; }
    bool BootMode() const { return mainVersion == 0; }
};

// Inf1Block byte offsets that carry the board identity and the serial number.
namespace inf1 {
inline constexpr std::size_t kBoardIndex = 1;
inline constexpr std::size_t kBoardNumber = 2;
inline constexpr std::size_t kBoardY1 = 3;
inline constexpr std::size_t kBoardY2 = 4;
inline constexpr std::size_t kSerialFirst = 9;
inline constexpr std::size_t kSerialBytes = 4;
}  // namespace inf1

// "12.6" for 0x0C06: major byte, ".", minor byte, both in decimal.
std::string VersionText(std::uint16_t version);

// The eight serial-number digits (low nibble of each byte first), upper-case hex.
std::string SerialDigits(const Inf1Block& block);
// 123-45678
std::string SerialNumberText(const Inf1Block& block);
// 1-23-45678, the form the report upload files a device under.
std::string SerialNumberLongText(const Inf1Block& block);

// The 12 bytes as two-digit upper-case hex joined by ":".
std::string UniqueIdText(const UniqueId& uid);

// "RDK-" + board code of the type index + "." + board number, or "UNKNOWN".
std::string BoardText(const Inf1Block& block);
// "(" y1 ":" y2 ")", or the "F4:L=" form of the first board type.
std::string BoardYText(const Inf1Block& block);

// Base name of the board, then "." revision "." variant.
std::string ModelName(const BoardInfo& board);
