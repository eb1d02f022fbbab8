#include "sim/history_ring.h"

#include <gtest/gtest.h>

#include "model_exchange.h"
#include "sim/device_model.h"
#include "sim/history_generator.h"

namespace {

constexpr std::uint32_t kNow = 731513109;

SimOptions HistoryOptionsFor(HistoryShape shape, std::uint32_t records = 0, std::uint32_t seed = 1,
                             SlotZero slotZero = SlotZero::PageMarker) {
    SimOptions options;
    options.profile.slotZero = slotZero;
    options.deviceTime = kNow;
    options.history = {
        .shape = shape, .records = records, .seed = seed, .recordWhileRunning = false};
    return options;
}

struct Header {
    std::uint32_t pageSize, low20, pages, count, oldest, write;
};

Header HeaderOf(DeviceModel& model) {
    auto read = [&](std::uint16_t id) {
        const auto value = ParRead(model, id);
        EXPECT_TRUE(value) << id;
        return value.value_or(0);
    };
    const std::uint32_t c020 = read(0xC020), c021 = read(0xC021), c022 = read(0xC022);
    return {c020 >> 16, c020 & 0xFFFF, c021 >> 16, c021 & 0xFFFF, c022 >> 16, c022 & 0xFFFF};
}

// The reader's acceptance rule for a header.
bool Consistent(const Header& h) {
    const std::uint32_t oldestPage = h.oldest / 256, newestPage = h.write / 256;
    const std::uint32_t pagesRead = newestPage >= oldestPage
                                        ? newestPage - oldestPage + 1
                                        : h.pages - oldestPage + newestPage + 1;
    return h.count / 256 + 1 == pagesRead && h.pageSize == 4096 && h.low20 <= 1792 &&
           h.pages <= 255;
}

// Logical records in order, read back over EFL_READ in pairs as the reader does.
std::vector<SimHistoryRecord> ReadLogical(DeviceModel& model, const Header& h) {
    std::vector<SimHistoryRecord> records;
    for (std::uint32_t k = 0; k < h.count; ++k) {
        std::uint32_t index = h.oldest + k;
        if (index >= HistoryRing::kIndexCount) {
            index -= HistoryRing::kIndexCount;
        }
        const std::uint32_t address = HistoryRing::kBase + 16 * index;
        const auto answer = AskModel(model, 2, 0x02, Concat({Le32(address), {16}}));
        EXPECT_TRUE(answer && answer->size() == 21);
        if (!answer || answer->size() != 21) {
            break;
        }
        records.push_back(SimHistoryRecord::Decode(answer->data() + 5));
    }
    return records;
}

void ExpectRealisticSequence(const std::vector<SimHistoryRecord>& records, const Header& h,
                             std::uint32_t newestEnd = kNow,
                             SlotZero slotZero = SlotZero::PageMarker) {
    std::uint32_t previousStart = 0;
    std::size_t measurements = 0, raised = 0;
    for (std::size_t k = 0; k < records.size(); ++k) {
        const auto& r = records[k];
        const std::uint32_t slot = (h.oldest + k) % HistoryRing::kIndexCount % 256;
        ASSERT_GE(r.start, previousStart) << "logical record " << k;
        previousStart = r.start;
        if (slot == 0 && slotZero == SlotZero::PageMarker) {
            EXPECT_NE(r.validity, 0) << "page marker at " << k << " must not count";
            continue;
        }
        ASSERT_TRUE(r.state == 0xFE || r.state == 0xFC) << "record " << k;
        EXPECT_EQ(r.validity, 0);
        EXPECT_EQ(r.length, 60);
        EXPECT_LT(r.pulses, 5000u);
        ++measurements;
        raised += r.state == 0xFC;
    }
    if (measurements > 0) {
        EXPECT_EQ(records.back().start + records.back().length, newestEnd) << "newest ends now";
    }
    if (measurements > 10000) {
        EXPECT_GT(raised, 0u) << "an occasional peak";
        EXPECT_LT(raised * 10, measurements);
    }
}

TEST(HistoryRing, EmptyRingAnnouncesNothingAndLeavesPageZeroErased) {
    FakeClock clock;
    DeviceModel model(HistoryOptionsFor(HistoryShape::Empty), clock.AsClock());
    const Header h = HeaderOf(model);
    EXPECT_EQ(h.count, 0u);
    EXPECT_EQ(h.oldest, 0u);
    EXPECT_EQ(h.write, 0u);
    EXPECT_EQ(h.pages, 255u);
    EXPECT_TRUE(Consistent(h));
    EXPECT_TRUE(model.ExternalFlash().IsErased(HistoryRing::kBase, 4096));
}

TEST(HistoryRing, TwoPagesHoldMarkersAndOrderedRecords) {
    FakeClock clock;
    DeviceModel model(HistoryOptionsFor(HistoryShape::Partial, 290), clock.AsClock());
    const Header h = HeaderOf(model);
    EXPECT_EQ(h.oldest, 0u);
    EXPECT_EQ(h.write, 0x124u);  // 2 markers + 290 records
    EXPECT_EQ(h.count, 0x124u);
    EXPECT_TRUE(Consistent(h));
    const auto records = ReadLogical(model, h);
    ExpectRealisticSequence(records, h);
    EXPECT_EQ(records[0].state, HistoryRing::kMarkerState);
    EXPECT_EQ(records[256].state, HistoryRing::kMarkerState);
    EXPECT_TRUE(model.ExternalFlash().IsErased(HistoryRing::AddressOf(0x124), 16));
}

TEST(HistoryRing, TwoPagesWithAMeasurementInSlotZeroHoldOnlyRecords) {
    FakeClock clock;
    DeviceModel model(HistoryOptionsFor(HistoryShape::Partial, 290, 1, SlotZero::Measurement),
                      clock.AsClock());
    const Header h = HeaderOf(model);
    EXPECT_EQ(h.oldest, 0u);
    EXPECT_EQ(h.write, 290u);
    EXPECT_EQ(h.count, 290u);
    EXPECT_TRUE(Consistent(h));
    const auto records = ReadLogical(model, h);
    ExpectRealisticSequence(records, h, kNow, SlotZero::Measurement);
    EXPECT_EQ(records[256].validity, 0);
    EXPECT_EQ(records[256].start, records[255].start + 60);
}

class HistoryRingOfBothKinds : public ::testing::TestWithParam<SlotZero> {};

INSTANTIATE_TEST_SUITE_P(SlotZero, HistoryRingOfBothKinds,
                         ::testing::Values(SlotZero::PageMarker, SlotZero::Measurement));

TEST_P(HistoryRingOfBothKinds, WrappedRingGivesUpItsOldestPagesAndStaysConsistent) {
    FakeClock clock;
    DeviceModel model(HistoryOptionsFor(HistoryShape::Wrapped, 0, 1, GetParam()), clock.AsClock());
    const Header h = HeaderOf(model);
    EXPECT_GT(h.oldest, h.write);
    EXPECT_EQ(h.oldest, 11u * 256);
    EXPECT_EQ(h.write / 256, 10u);
    EXPECT_TRUE(Consistent(h));
    EXPECT_EQ(h.count, (h.write + HistoryRing::kIndexCount - h.oldest) % HistoryRing::kIndexCount);
    EXPECT_EQ(model.History().ParameterC023(), 1u);
    ExpectRealisticSequence(ReadLogical(model, h), h, kNow, GetParam());
}

TEST_P(HistoryRingOfBothKinds, FullRingUsesEveryPage) {
    FakeClock clock;
    DeviceModel model(HistoryOptionsFor(HistoryShape::Full, 0, 1, GetParam()), clock.AsClock());
    const Header h = HeaderOf(model);
    EXPECT_EQ(h.count, HistoryRing::kIndexCount - 1);
    EXPECT_TRUE(Consistent(h));
    ExpectRealisticSequence(ReadLogical(model, h), h, kNow, GetParam());
}

// Also when the write position rests on slot 0, the page it points at is
// erased: the reading finds no stale record there.
TEST_P(HistoryRingOfBothKinds, EveryRecordCountAroundTheWrapKeepsTheHeaderConsistent) {
    FlashMemory flash(0, 8 * 1024 * 1024, 4096);
    HistoryRing ring(flash, GetParam());
    SimHistoryRecord record;
    record.length = 60;
    const std::uint32_t full = ring.FullRecords();
    for (std::uint32_t i = 0; i < full + 600; ++i) {
        record.start = 60 * i;
        ASSERT_TRUE(ring.Append(record));
        if (i < 600 || i > full - 300) {
            const Header h{4096, 0x100, 255, ring.Count(), ring.Oldest(), ring.WritePosition()};
            ASSERT_TRUE(Consistent(h)) << "after record " << i;
            const std::uint32_t slot = ring.WritePosition() % 256;
            if (GetParam() == SlotZero::PageMarker) {
                ASSERT_NE(slot, 0u);
            }
            ASSERT_TRUE(
                flash.IsErased(HistoryRing::AddressOf(ring.WritePosition()), 16 * (256 - slot)))
                << "after record " << i;
        }
    }
}

TEST(HistoryRing, SameSeedSameHistoryOtherSeedOtherHistory) {
    FakeClock clock;
    DeviceModel a(HistoryOptionsFor(HistoryShape::Partial, 500, 7), clock.AsClock());
    DeviceModel b(HistoryOptionsFor(HistoryShape::Partial, 500, 7), clock.AsClock());
    DeviceModel c(HistoryOptionsFor(HistoryShape::Partial, 500, 8), clock.AsClock());
    const auto bytesA = a.ExternalFlash().Read(HistoryRing::kBase, 3 * 4096);
    EXPECT_EQ(bytesA, b.ExternalFlash().Read(HistoryRing::kBase, 3 * 4096));
    EXPECT_NE(bytesA, c.ExternalFlash().Read(HistoryRing::kBase, 3 * 4096));
}

TEST(HistoryRing, RunningDeviceRecordsEveryPeriodExceptDuringAnAccess) {
    FakeClock clock;
    SimOptions options = HistoryOptionsFor(HistoryShape::Partial, 10);
    options.history.recordWhileRunning = true;
    DeviceModel model(options, clock.AsClock());
    auto writeCommand = [&](std::uint32_t word) { return ParWrite(model, 0xFF00, word); };

    clock.AdvanceSeconds(10 * 60 + 30);
    EXPECT_EQ(HeaderOf(model).count, 1u + 20);

    writeCommand(0xC0BA0010);
    clock.AdvanceSeconds(5 * 60);
    EXPECT_EQ(HeaderOf(model).count, 21u) << "no records while the history is read";
    writeCommand(0xC0BA0011);
    EXPECT_EQ(HeaderOf(model).count, 26u) << "caught up afterwards";
    ExpectRealisticSequence(ReadLogical(model, HeaderOf(model)), HeaderOf(model), kNow + 15 * 60);
}

TEST(HistoryRing, DeleteWorksOnlyInsideAnAccess) {
    FakeClock clock;
    DeviceModel model(HistoryOptionsFor(HistoryShape::Partial, 600), clock.AsClock());
    auto writeCommand = [&](std::uint32_t word) { return ParWrite(model, 0xFF00, word); };
    EXPECT_EQ(writeCommand(0xC0BA0012), 0u) << "refused outside an access";
    EXPECT_EQ(HeaderOf(model).count, 603u);

    EXPECT_EQ(writeCommand(0xC0BA0010), 0xC0BA0010u);
    EXPECT_TRUE(model.HistoryAccessOpen());
    EXPECT_EQ(writeCommand(0xC0BA0012), 0xC0BA0012u);
    EXPECT_EQ(writeCommand(0xC0BA0011), 0xC0BA0011u);
    EXPECT_FALSE(model.HistoryAccessOpen());
    const Header h = HeaderOf(model);
    EXPECT_EQ(h.count + h.oldest + h.write, 0u);
    EXPECT_TRUE(model.ExternalFlash().IsErased(HistoryRing::kBase, 3 * 4096));
}

}  // namespace
