#include "history/history_header.h"

#include <algorithm>

#include "history/history_record.h"

HistoryHeader HistoryHeader::FromParameters(std::uint32_t layout, std::uint32_t count,
                                            std::uint32_t positions, std::uint32_t flag) {
    HistoryHeader header;
    header.pageSize = layout >> 16;
    header.layoutLow = layout & 0xFFFF;
    header.pages = count >> 16;
    header.count = count & 0xFFFF;
    header.oldest = positions >> 16;
    header.write = positions & 0xFFFF;
    header.flag = static_cast<std::uint8_t>(flag);
    return header;
}

int HistoryHeader::PageCount() const {
    const int o = OldestPage();
    const int n = NewestPage();
    return n >= o ? n - o + 1 : static_cast<int>(pages) - o + n + 1;
}

std::uint32_t HistoryHeader::RingRecords() const {
    return pages * history_geometry::kPageRecords;
}

bool HistoryHeader::InsideRing() const {
    const auto ringPages = static_cast<int>(pages);
    return pages > 0 && write < history_geometry::kIndexLimit && OldestPage() < ringPages &&
           NewestPage() < ringPages;
}

bool HistoryHeader::Accepted() const {
    return static_cast<int>(count / 256) + 1 == PageCount() && pageSize == kRequiredPageSize &&
           layoutLow <= kMaxLayoutLow && pages <= history_geometry::kMaxPages;
}

std::vector<int> HistoryHeader::ReadingOrder() const {
    std::vector<int> order;
    const int total = PageCount();
    order.reserve(static_cast<std::size_t>(std::max(total, 0)));
    int page = NewestPage();
    for (int i = 0; i < total; ++i) {
        order.push_back(page);
        page = page > 0 ? page - 1 : static_cast<int>(pages) - 1;
    }
    return order;
}

std::uint32_t HistoryHeader::PhysicalIndex(std::uint32_t k) const {
    const std::uint32_t index = oldest + k;
    return index < RingRecords() ? index : index - RingRecords();
}
