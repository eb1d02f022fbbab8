#pragma once

#include <cstdint>
#include <memory>

#include "history/history_record.h"

// The history read from the device, slot by physical index: 65536 records of
// 16 bytes (1 MiB), allocated once and reused by every reading.
class HistoryStore {
  public:
    static constexpr std::uint32_t kSlots = 65536;
    static constexpr std::uint32_t kBytes = kSlots * HistoryRecord::kSize;

    HistoryStore();

    // Every byte 0xFF, as erased flash reads.
    void Erase();
    void Put(std::uint32_t index, const std::uint8_t* bytes);
    const std::uint8_t* Bytes(std::uint32_t index) const;
    HistoryRecord Record(std::uint32_t index) const;

  private:
    std::unique_ptr<std::uint8_t[]> bytes_;
};
