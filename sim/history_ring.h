#pragma once

#include <array>
#include <cstdint>

#include "sim/device_profile.h"
#include "sim/flash_memory.h"

// One 16-byte history record as the device stores it.
struct SimHistoryRecord {
    std::uint8_t state = 0xFE;  // 0xFE or 0xFC for measurements
    std::uint8_t validity = 0;  // 0: usable
    std::uint16_t sequence = 0;
    std::uint32_t start = 0;  // seconds since 2000
    std::uint32_t pulses = 0;
    std::uint16_t length = 0;  // seconds
    std::uint16_t spare = 0xFFFF;

    std::array<std::uint8_t, 16> Encode() const;
    static SimHistoryRecord Decode(const std::uint8_t* bytes);
};

// The history ring in external flash: 255 pages of 256 16-byte slots from
// 0x100000. A device of one kind writes a page marker into slot 0 when it
// starts a page (state 0xF0, validity 1, so it is never taken for a
// measurement; its start time keeps the sequence ordered) and fills slots 1 to
// 255 with records; a device of the other kind fills all 256 slots with
// records. When a page is full the next one is erased at once (with a marker
// the write position then moves past it), and when that is the oldest page of
// a full ring the oldest page is given up first. So the number of records
// N = E - S (around the ring) always spans exactly the pages from S to E.
class HistoryRing {
  public:
    static constexpr std::uint32_t kBase = 0x100000;
    static constexpr std::uint32_t kPageSlots = 256;
    static constexpr std::uint32_t kPages = 255;
    static constexpr std::uint32_t kIndexCount = kPages * kPageSlots;  // 65280
    static constexpr std::uint32_t kPageBytes = 4096;
    static constexpr std::uint8_t kMarkerState = 0xF0;
    explicit HistoryRing(FlashMemory& flash, SlotZero slotZero = SlotZero::PageMarker)
        : flash_(flash), slotZero_(slotZero) {}

    // Records one page takes.
    std::uint32_t PageRecords() const {
        return slotZero_ == SlotZero::PageMarker ? kPageSlots - 1 : kPageSlots;
    }
    // Records the ring can hold before its oldest page goes (slot 255 of the
    // last page still free).
    std::uint32_t FullRecords() const { return kPages * PageRecords() - 1; }

    // Writes the next record; false when the flash refused it (the ring is
    // then left as it was).
    bool Append(const SimHistoryRecord& record);

    // Erases every page in use and starts over at physical index 0.
    void Clear();

    std::uint32_t Oldest() const { return oldest_; }                                        // S
    std::uint32_t WritePosition() const { return write_; }                                  // E
    std::uint32_t Count() const { return (write_ + kIndexCount - oldest_) % kIndexCount; }  // N
    bool Wrapped() const { return wrapped_; }
    bool Empty() const { return !started_; }
    std::uint32_t LastEnd() const { return lastEnd_; }  // end of the newest record

    // The values of the four header parameters.
    std::uint32_t ParameterC020() const;
    std::uint32_t ParameterC021() const;
    std::uint32_t ParameterC022() const;
    std::uint32_t ParameterC023() const;

    static std::uint32_t AddressOf(std::uint32_t index) { return kBase + 16 * index; }
    SimHistoryRecord RecordAt(std::uint32_t index) const;

  private:
    bool StartPage(std::uint32_t page, std::uint32_t time);

    FlashMemory& flash_;
    SlotZero slotZero_;
    bool started_ = false;
    bool wrapped_ = false;
    std::uint32_t oldest_ = 0;
    std::uint32_t write_ = 0;
    std::uint32_t lastEnd_ = 0;
    std::uint16_t sequence_ = 0;
};
