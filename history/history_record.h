#pragma once

#include <cstdint>

// One 16-byte history record as the device stores it in its external flash.
struct HistoryRecord {
    static constexpr std::uint32_t kSize = 16;
    static constexpr std::uint8_t kStateMeasured = 0xFE;
    static constexpr std::uint8_t kStateMeasuredRaised = 0xFC;

    std::uint8_t state = 0xFF;     // 0xFE or 0xFC: a measurement; 0xFF: erased flash
    std::uint8_t validity = 0xFF;  // 0: usable
    std::uint32_t start = 0;       // seconds since 2000, device local time
    std::uint32_t pulses = 0;
    std::uint16_t length = 0;  // seconds

    static HistoryRecord FromBytes(const std::uint8_t* bytes);

    bool Usable() const { return validity == 0; }
    // A measurement that goes into the CSV export.
    bool Exported() const {
        return Usable() && (state == kStateMeasured || state == kStateMeasuredRaised);
    }
};

// Where records live: 255 pages of 256 records from 0x100000 on.
namespace history_geometry {
inline constexpr std::uint32_t kFlashBase = 0x100000;
inline constexpr std::uint32_t kPageRecords = 256;
inline constexpr std::uint32_t kPageBytes = 4096;
inline constexpr std::uint32_t kMaxPages = 255;
inline constexpr std::uint32_t kIndexLimit = kMaxPages * kPageRecords;  // 65280: first invalid

inline std::uint32_t AddressOf(std::uint32_t index) {
    return kFlashBase + HistoryRecord::kSize * index;
}
}  // namespace history_geometry
