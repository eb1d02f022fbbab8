#include "sim/history_generator.h"

namespace {

constexpr std::uint32_t kPartialRecords = 3 * 24 * 60;

}  // namespace

SimHistoryRecord MakeHistoryRecord(const RadiationBackground& background, std::uint32_t start,
                                   std::uint16_t length, int sensors, std::uint32_t k100) {
    SimHistoryRecord record;
    record.start = start;
    record.length = length;
    record.pulses = background.Pulses(start, length, sensors, k100);
    // Records of a raised background are kept as "on change" records.
    record.state = background.MicroRoentgenPerHour(start + length / 2u) > 30.0 ? 0xFC : 0xFE;
    return record;
}

std::uint32_t HistoryRecordCount(const HistoryOptions& options, const HistoryRing& ring) {
    // Beyond one full ring by default: the oldest pages have gone and the write
    // position sits in the middle of page 10, the oldest page being 11.
    const std::uint32_t wrappedBeyondFull = 10 * ring.PageRecords() + 127;
    switch (options.shape) {
        case HistoryShape::Empty:
            return 0;
        case HistoryShape::Partial:
            return options.records != 0 ? options.records : kPartialRecords;
        case HistoryShape::Wrapped:
            return ring.FullRecords() + 1 +
                   (options.records != 0 ? options.records : wrappedBeyondFull);
        case HistoryShape::Full:
            return ring.FullRecords();
    }
    return 0;
}

bool GenerateHistory(HistoryRing& ring, const HistoryOptions& options,
                     const RadiationBackground& background, std::uint32_t endTime, int sensors,
                     std::uint32_t k100) {
    const std::uint32_t count = HistoryRecordCount(options, ring);
    const std::uint64_t span = std::uint64_t{count} * options.periodSeconds;
    std::uint32_t start = span < endTime ? endTime - static_cast<std::uint32_t>(span) : 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        if (!ring.Append(
                MakeHistoryRecord(background, start, options.periodSeconds, sensors, k100))) {
            return false;
        }
        start += options.periodSeconds;
    }
    return true;
}
