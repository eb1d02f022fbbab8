#include <gtest/gtest.h>

#include <vector>

#include "history/history_header.h"

namespace {

HistoryHeader Header(std::uint32_t pageSize, std::uint32_t layoutLow, std::uint32_t pages,
                     std::uint32_t count, std::uint32_t oldest, std::uint32_t write) {
    return HistoryHeader::FromParameters(pageSize << 16 | layoutLow, pages << 16 | count,
                                         oldest << 16 | write, 0xAB01);
}

// An empty history reads page 0 only.
TEST(HistoryGeometry, PartialHistoryReadsItsPagesNewestFirst) {
    const HistoryHeader empty = Header(4096, 0x100, 255, 0, 0, 0);
    EXPECT_TRUE(empty.Accepted());
    EXPECT_EQ(empty.ReadingOrder(), std::vector<int>{0});
    const HistoryHeader partial = Header(4096, 0x100, 255, 0x0124, 0, 0x0124);
    EXPECT_TRUE(partial.Accepted());
    EXPECT_EQ(partial.ReadingOrder(), (std::vector<int>{1, 0}));
}

TEST(HistoryGeometry, WrappedRingReadsBackAroundTheEnd) {
    const HistoryHeader header = Header(4096, 0x100, 255, 65152, 0x0A00, 0x0980);
    ASSERT_TRUE(header.Accepted());
    const std::vector<int> order = header.ReadingOrder();
    ASSERT_EQ(order.size(), 255u);
    std::vector<int> expected;
    for (int page = 9; page >= 0; --page) {
        expected.push_back(page);
    }
    for (int page = 254; page >= 10; --page) {
        expected.push_back(page);
    }
    EXPECT_EQ(order, expected);
}

TEST(HistoryGeometry, InconsistentOrOutOfRangeHeadersAreFormatErrors) {
    EXPECT_FALSE(
        Header(4096, 0x100, 255, 0x0200, 0, 0x0100).Accepted());  // 3 pages claimed, 2 span
    EXPECT_FALSE(Header(2048, 0x100, 255, 0, 0, 0).Accepted());
    EXPECT_FALSE(Header(4096, 1793, 255, 0, 0, 0).Accepted());
    EXPECT_TRUE(Header(4096, 1792, 255, 0, 0, 0).Accepted());
    EXPECT_FALSE(Header(4096, 0x100, 256, 0, 0, 0).Accepted());
    // Oldest page beyond a tiny ring: the page count goes negative.
    EXPECT_FALSE(Header(4096, 0x100, 0, 0, 0x0A00, 0).Accepted());
}

}  // namespace
