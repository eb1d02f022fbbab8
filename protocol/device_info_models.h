#pragma once

#include <cstdint>

#include "protocol/device_records.h"

// The two models the program works with, and what a device must report to
// count as one of them.
inline constexpr std::uint16_t kBoardK310 = 310;
inline constexpr std::uint16_t kBoardK520 = 520;

struct SupportedModel {
    std::uint16_t boardCode;
    std::uint8_t minRevision;
    std::uint8_t maxRevision;
    int requiredVariant;  // -1: any
    std::uint16_t minCpuType;
    std::uint16_t maxCpuType;
    std::uint16_t minMainVersion;  // older firmware must be updated before use

    bool HardwareMatches(const BoardInfo& board) const;
    bool CpuMatches(std::uint16_t cpuType) const;
    bool FirmwareCurrent(std::uint16_t mainVersion) const { return mainVersion >= minMainVersion; }
};

// Null for a board code the program does not support.
const SupportedModel* FindSupportedModel(std::uint16_t boardCode);
