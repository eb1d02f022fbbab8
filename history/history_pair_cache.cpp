#include "history/history_pair_cache.h"

#include <cstring>

bool ReadHistoryRecord(HistoryDevice& device, const DeviceHistory& history, HistoryPairCache& cache,
                       std::int64_t index, std::uint8_t* record) {
    if (index < 0 || index >= history_geometry::kIndexLimit) {
        return false;
    }
    const auto physical = static_cast<std::uint32_t>(index);
    if (history.valid) {
        std::memcpy(record, history.store.Bytes(physical), HistoryRecord::kSize);
        return true;
    }
    const std::uint32_t pairStart = physical & ~1u;
    if (!cache.Holds(pairStart)) {
        std::uint8_t* pair = cache.Fill(pairStart);
        // Anything short of the whole pair would lose a record without a word.
        if (device.EflRead(history_geometry::AddressOf(pairStart), pair,
                           HistoryPairCache::kPairBytes) != HistoryPairCache::kPairBytes) {
            cache.Clear();
            return false;
        }
    }
    std::memcpy(record, cache.Pair() + (physical & 1u) * HistoryRecord::kSize,
                HistoryRecord::kSize);
    return true;
}
