#pragma once

#include <cstdint>
#include <vector>

// The ring of records in use, as the device announces it in parameters
// 0xC020 to 0xC023.
struct HistoryHeader {
    static constexpr std::uint16_t kParamLayout = 0xC020;
    static constexpr std::uint16_t kParamCount = 0xC021;
    static constexpr std::uint16_t kParamPositions = 0xC022;
    static constexpr std::uint16_t kParamFlag = 0xC023;
    static constexpr std::uint32_t kRequiredPageSize = 4096;
    static constexpr std::uint32_t kMaxLayoutLow = 0x700;

    std::uint32_t pageSize = 0;
    std::uint32_t layoutLow = 0;  // checked, not interpreted
    std::uint32_t pages = 0;      // P: pages in the ring
    std::uint32_t count = 0;      // N: records in the history
    std::uint32_t oldest = 0;     // S: physical index of the oldest record
    std::uint32_t write = 0;      // E: physical index of the next record
    std::uint8_t flag = 0;        // not interpreted

    static HistoryHeader FromParameters(std::uint32_t layout, std::uint32_t count,
                                        std::uint32_t positions, std::uint32_t flag);

    int OldestPage() const { return static_cast<int>(oldest / 256); }
    int NewestPage() const { return static_cast<int>(write / 256); }
    // The pages from the oldest forward to the newest, around the ring; may be
    // zero or negative for a nonsensical header.
    int PageCount() const;
    // Records in the ring the header announces: P pages of 256.
    std::uint32_t RingRecords() const;
    // S and E lie on pages of that ring, below the first invalid index, and the
    // ring has pages at all; otherwise the header itself was not read right.
    bool InsideRing() const;
    // The geometry and format checks a header must pass before any record is read.
    bool Accepted() const;
    // Pages in reading order: the newest first, back around the ring to the oldest.
    std::vector<int> ReadingOrder() const;
    // Physical index of logical record k (0 the oldest), around the announced ring.
    std::uint32_t PhysicalIndex(std::uint32_t k) const;
};
