#include "history/history_bars.h"

#include <algorithm>

namespace {

constexpr std::uint32_t kBackStepLimit = 3600;
constexpr std::uint32_t kPeakSeconds = 10;
constexpr std::uint64_t kMul = 36;
constexpr std::uint32_t kDiv = 86;

std::uint64_t EndOf(const HistoryRecord& record) {
    return std::uint64_t{record.start} + record.length;
}

}  // namespace

bool PositionHistory(const DeviceHistory& history, HistoryCursor& cursor, std::uint32_t time) {
    cursor.positioned = false;
    const std::uint32_t total = history.Count();
    if (total == 0) {
        return false;
    }
    std::uint32_t n = total;
    std::uint32_t lo = 0;
    std::uint32_t hi = total - 1;
    std::uint32_t found = 0;
    for (;;) {
        if (n == 1 || time < EndOf(history.Logical(lo))) {
            found = lo;
            break;
        }
        const HistoryRecord last = history.Logical(hi);
        if (time >= EndOf(last)) {
            return false;
        }
        if (time >= last.start || n == 2) {
            found = hi;
            break;
        }
        const std::uint32_t mid = lo + n / 2;
        if (time >= EndOf(history.Logical(mid))) {
            lo = mid + 1;
            n = hi - mid;
        } else {
            hi = mid;
            n = mid - lo + 1;
        }
        if (n == 0) {
            return false;
        }
    }
    cursor.index = found;
    cursor.barStart = time;
    cursor.positioned = true;
    return true;
}

BarSums AccumulateBar(const DeviceHistory& history, HistoryCursor& cursor, std::uint32_t length) {
    BarSums sums;
    if (!cursor.positioned) {
        return sums;
    }
    const std::uint32_t total = history.Count();
    const std::uint64_t barStart = cursor.barStart;
    const std::uint64_t barEnd = barStart + length - 1;
    std::uint64_t previousStart = 0;
    std::uint32_t k = cursor.index;
    for (; k < total; ++k) {
        const HistoryRecord record = history.Logical(k);
        if (!record.Usable()) {
            continue;
        }
        const std::uint64_t t = record.start;
        const std::uint64_t d = record.length == 0 ? 1 : record.length;
        const std::uint64_t e = t + d - 1;
        if (t + kBackStepLimit < previousStart) {
            break;  // the clock went back: this record starts the next bar
        }
        previousStart = t;
        if (e < barStart) {
            continue;
        }
        if (t > barEnd) {
            break;
        }
        const std::uint64_t overlap = std::min(e, barEnd) - std::max(t, barStart) + 1;
        sums.pulses += record.pulses * overlap / d;
        sums.covered += static_cast<std::uint32_t>(overlap);
        if (d >= kPeakSeconds) {
            const auto per10 = static_cast<std::uint32_t>(record.pulses * kPeakSeconds / d);
            sums.maxPer10s = std::max(sums.maxPer10s, per10);
        }
        if (barEnd < e) {
            break;  // the bar ends inside this record: the next bar continues with it
        }
        if (barEnd == e) {
            ++k;
            break;
        }
    }
    cursor.barStart = static_cast<std::uint32_t>(barStart + length);
    cursor.index = std::min(k, total - 1);
    return sums;
}

std::uint32_t MeanRate(const BarSums& sums, std::uint32_t k100, int sensors) {
    if (sums.covered == 0) {
        return 0;
    }
    const auto low = static_cast<std::uint32_t>(sums.pulses * kMul * k100 / sums.covered);
    return low / kDiv / static_cast<std::uint32_t>(sensors);
}

std::uint32_t PeakRate(const BarSums& sums, std::uint32_t k100, int sensors) {
    const std::uint32_t per10 = sums.maxPer10s * static_cast<std::uint32_t>(kMul);
    const auto low = static_cast<std::uint32_t>(std::uint64_t{per10} * k100 / (kDiv * 10));
    return std::max(low / static_cast<std::uint32_t>(sensors), MeanRate(sums, k100, sensors));
}
