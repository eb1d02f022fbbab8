#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "history/history_device.h"
#include "history/history_reading_result.h"

// The last two records read from the device: one EFL_READ brings a pair that
// starts at an even physical index.
class HistoryPairCache {
  public:
    static constexpr int kPairBytes = 2 * HistoryRecord::kSize;

    void Clear() { start_.reset(); }
    bool Holds(std::uint32_t pairStart) const { return start_ == pairStart; }
    const std::uint8_t* Pair() const { return pair_.data(); }
    std::uint8_t* Fill(std::uint32_t pairStart) {
        start_ = pairStart;
        return pair_.data();
    }

  private:
    std::optional<std::uint32_t> start_;
    std::array<std::uint8_t, kPairBytes> pair_{};
};

// The 16 bytes of record `index` (physical): from the store once the history
// is valid, otherwise from the pair cache or the device. False for an index
// outside the ring or a failed read.
bool ReadHistoryRecord(HistoryDevice& device, const DeviceHistory& history, HistoryPairCache& cache,
                       std::int64_t index, std::uint8_t* record);
