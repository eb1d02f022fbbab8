#include "history/incremental_reading.h"

#include <cstring>

namespace {

constexpr std::uint32_t kPage = history_geometry::kPageRecords;

// Steps from `from` forward to `to` around a ring of `ring` records.
std::uint32_t Distance(std::uint32_t from, std::uint32_t to, std::uint32_t ring) {
    return (to + ring - from) % ring;
}

}  // namespace

std::optional<IncrementalReading> IncrementalReading::Plan(const HistoryHeader& now,
                                                           const ArchivedRing& last) {
    const HistoryHeader before = last.Header();
    if (!now.InsideRing() || !before.InsideRing() || !now.Accepted() || !before.Accepted() ||
        now.pages != before.pages || now.count == 0 || before.count == 0) {
        return std::nullopt;
    }
    IncrementalReading plan;
    plan.ring_ = now.RingRecords();
    const std::vector<int> order = before.ReadingOrder();
    // A reading goes from the newest page back, so what it kept is the newest pages.
    const std::size_t kept = last.pages.size() / history_geometry::kPageBytes;
    if (last.pages.size() % history_geometry::kPageBytes != 0 || kept == 0 || kept > order.size()) {
        return std::nullopt;
    }
    plan.pageOffsets_.assign(now.pages, -1);
    for (std::size_t i = 0; i < kept; ++i) {
        plan.pageOffsets_[static_cast<std::size_t>(order[i])] =
            static_cast<int>(i * history_geometry::kPageBytes);
    }
    const std::uint32_t ring = plan.ring_;
    plan.check_ = (before.write + ring - 1) % ring;
    // The archived newest record must still be in the ring, and the ring's
    // oldest record no older than the archived one.
    if (Distance(now.oldest, plan.check_, ring) >= now.count ||
        Distance(before.oldest, now.oldest, ring) > Distance(before.oldest, plan.check_, ring) ||
        plan.pageOffsets_[plan.check_ / kPage] < 0) {
        return std::nullopt;
    }
    plan.firstKept_ = now.oldest / kPage * kPage;
    const std::uint32_t newest = (now.write + ring - 1) % ring;
    const std::uint32_t firstPair = plan.check_ & ~1u;
    for (std::uint32_t pair = firstPair;; pair = (pair + 2) % ring) {
        plan.pairs_.push_back(pair);
        if (pair == (newest & ~1u)) {
            break;
        }
    }
    const auto checkPage = static_cast<int>(plan.check_ / kPage);
    for (auto page = static_cast<int>(plan.firstKept_ / kPage); page != checkPage;
         page = (page + 1) % static_cast<int>(now.pages)) {
        if (plan.pageOffsets_[static_cast<std::size_t>(page)] < 0) {
            plan.missing_.insert(plan.missing_.begin(), page);
        }
    }
    plan.last_ = last;
    return plan;
}

const std::uint8_t* IncrementalReading::Archived(std::uint32_t index) const {
    return last_.pages.data() + pageOffsets_[index / kPage] +
           (index % kPage) * HistoryRecord::kSize;
}

bool IncrementalReading::CheckMatches(const std::uint8_t* record) const {
    return std::memcmp(record, Archived(check_), HistoryRecord::kSize) == 0;
}

std::uint32_t IncrementalReading::Restore(HistoryStore& store) const {
    std::uint32_t records = 0;
    const std::uint32_t firstPair = check_ & ~1u;
    for (std::uint32_t index = firstKept_; index != firstPair; index = (index + 1) % ring_) {
        if (pageOffsets_[index / kPage] < 0) {
            continue;
        }
        const std::uint8_t* bytes = Archived(index);
        store.Put(index, bytes);
        records += bytes[0] != 0xFF || bytes[1] != 0xFF ? 1 : 0;
    }
    return records;
}
