#include "history/incremental_reading.h"

#include <gtest/gtest.h>

namespace {

constexpr std::uint32_t kRing = 255 * 256;

HistoryHeader Header(std::uint32_t oldest, std::uint32_t write, std::uint32_t pages = 255) {
    const std::uint32_t ring = pages * 256;
    const std::uint32_t count = (write + ring - oldest) % ring;
    return HistoryHeader::FromParameters(4096u << 16, pages << 16 | count, oldest << 16 | write, 0);
}

// The archived ring of a reading with `header`: every slot holds its own index.
ArchivedRing Ring(const HistoryHeader& header) {
    ArchivedRing ring;
    ring.parameters[0] = header.pageSize << 16 | header.layoutLow;
    ring.parameters[1] = header.pages << 16 | header.count;
    ring.parameters[2] = header.oldest << 16 | header.write;
    for (int page : header.ReadingOrder()) {
        for (std::uint32_t slot = 0; slot < 256; ++slot) {
            std::uint8_t bytes[16] = {};
            const std::uint32_t index = static_cast<std::uint32_t>(page) * 256 + slot;
            bytes[4] = static_cast<std::uint8_t>(index);
            bytes[5] = static_cast<std::uint8_t>(index >> 8);
            ring.pages.insert(ring.pages.end(), bytes, bytes + 16);
        }
    }
    return ring;
}

TEST(IncrementalReading, AsksOnlyFromTheArchivedNewestRecordOnWhenTheRingContinuesIt) {
    struct Case {
        const char* what;
        HistoryHeader before, now;
        std::uint32_t firstPair, pairs, firstRestored;
    };
    const Case cases[] = {
        {"new records", Header(0, 3001), Header(0, 3101), 3000, 51, 0},
        {"nothing new", Header(0, 3001), Header(0, 3001), 3000, 1, 0},
        {"odd newest", Header(0, 3002), Header(0, 3010), 3000, 5, 0},
        {"oldest page given up", Header(256, 65279 - 256), Header(512, 100), 65022, 179, 512},
        {"write position wrapped", Header(0, 65100), Header(256, 200), 65098, 191, 256},
        {"small ring", Header(0, 1000, 8), Header(256, 40, 8), 998, 545, 256},
    };
    for (const Case& c : cases) {
        const std::optional<IncrementalReading> plan =
            IncrementalReading::Plan(c.now, Ring(c.before));
        ASSERT_TRUE(plan) << c.what;
        const std::uint32_t ring = c.now.pages * 256;
        EXPECT_EQ(plan->CheckIndex(), (c.before.write + ring - 1) % ring) << c.what;
        ASSERT_EQ(plan->Pairs().size(), c.pairs) << c.what;
        EXPECT_EQ(plan->Pairs().front(), c.firstPair) << c.what;
        EXPECT_EQ(plan->Pairs().back(), ((c.now.write + ring - 1) % ring) & ~1u) << c.what;

        HistoryStore store;
        plan->Restore(store);
        EXPECT_EQ(store.Record(c.firstRestored).start, c.firstRestored % 65536) << c.what;
        EXPECT_EQ(store.Record(c.firstPair - 1).start, c.firstPair - 1) << c.what;
        EXPECT_EQ(store.Record(c.firstPair).state, 0xFF) << c.what;  // asked, not restored
        if (c.firstRestored > 0) {
            EXPECT_EQ(store.Record(c.firstRestored - 1).state, 0xFF) << c.what;
        }
    }
}

TEST(IncrementalReading, ReadsEverythingWhenTheRingNoLongerContinuesTheArchivedOne) {
    struct Case {
        const char* what;
        HistoryHeader before, now;
    };
    const Case cases[] = {
        {"history deleted", Header(0, 3001), Header(0, 0)},
        {"deleted and refilled elsewhere", Header(0, 3001), Header(3328, 3500)},
        {"write position back before the newest", Header(0, 3001), Header(0, 2000)},
        {"wrapped past the archived newest", Header(0, 3001), Header(3072, 2800)},
        {"ring size changed", Header(0, 1000, 8), Header(0, 1100, 9)},
        {"nothing archived", Header(0, 0), Header(0, 300)},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(IncrementalReading::Plan(c.now, Ring(c.before))) << c.what;
    }
    // A cut-off reading that did not complete the page of its newest record,
    // or whose pages are not whole.
    ArchivedRing newestMissing = Ring(Header(0, 2816));
    newestMissing.pages.resize(4096);
    EXPECT_FALSE(IncrementalReading::Plan(Header(0, 2900), newestMissing));
    ArchivedRing ragged = Ring(Header(0, 3001));
    ragged.pages.resize(4096 + 16);
    EXPECT_FALSE(IncrementalReading::Plan(Header(0, 3101), ragged));
}

// A reading cut off after its newest pages: the next one asks for the new
// records as always, and for the older pages it never got to, whole.
TEST(IncrementalReading, ReadsThePagesACutOffReadingDidNotGetTo) {
    ArchivedRing cut = Ring(Header(0, 3001));
    cut.pages.resize(3 * 4096);  // pages 11, 10 and 9
    const std::optional<IncrementalReading> plan = IncrementalReading::Plan(Header(0, 3101), cut);
    ASSERT_TRUE(plan);
    EXPECT_EQ(plan->CheckIndex(), 3000u);
    EXPECT_EQ(plan->Pairs().size(), 51u);
    EXPECT_EQ(plan->MissingPages(), (std::vector<int>{8, 7, 6, 5, 4, 3, 2, 1, 0}));

    HistoryStore store;
    EXPECT_EQ(plan->Restore(store), 3000u - 9 * 256);
    EXPECT_EQ(store.Record(9 * 256).start, 9u * 256);
    EXPECT_EQ(store.Record(9 * 256 - 1).state, 0xFF);
    EXPECT_EQ(store.Record(0).state, 0xFF);
}

TEST(IncrementalReading, ChecksTheNewestRecordByteForByte) {
    const ArchivedRing ring = Ring(Header(0, 3001));
    const std::optional<IncrementalReading> plan = IncrementalReading::Plan(Header(0, 3101), ring);
    ASSERT_TRUE(plan);
    std::uint8_t record[16] = {};
    record[4] = static_cast<std::uint8_t>(3000);
    record[5] = static_cast<std::uint8_t>(3000 >> 8);
    EXPECT_TRUE(plan->CheckMatches(record));
    record[15] = 1;
    EXPECT_FALSE(plan->CheckMatches(record));
}

}  // namespace
