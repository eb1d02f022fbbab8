#include <gtest/gtest.h>

#include <vector>

#include "base/language.h"
#include "history/history_bars.h"
#include "history/history_chart_model.h"
#include "protocol/calendar.h"
#include "unit/history/history_test_support.h"

namespace {

struct Rec {
    std::uint32_t start;
    std::uint32_t pulses;
    std::uint16_t length;
    std::uint8_t validity = 0;
};

// A history whose records sit in order from a ring position near its end, so
// that logical indexes wrap around like the device's.
void Fill(DeviceHistory& history, const std::vector<Rec>& records) {
    history.store.Erase();
    history.header = HistoryHeader{};
    history.header.pages = 255;
    history.header.oldest = 65280 - 2;
    history.header.count = static_cast<std::uint32_t>(records.size());
    for (std::uint32_t k = 0; k < records.size(); ++k) {
        std::uint8_t bytes[16] = {0xFE, records[k].validity};
        WriteLe32(bytes + 4, records[k].start);
        WriteLe32(bytes + 8, records[k].pulses);
        WriteLe16(bytes + 12, records[k].length);
        history.store.Put(history.header.PhysicalIndex(k), bytes);
    }
    history.valid = true;
    history.k100 = 100;
    history.sensors = 1;
}

class HistoryBarsTest : public ::testing::Test {
  protected:
    DeviceHistory history;
    HistoryCursor cursor;
};

TEST_F(HistoryBarsTest, PositionFindsTheFirstRecordEndingAfterTheTime) {
    Fill(history, {{100, 0, 60}, {160, 0, 60}, {220, 0, 60}, {400, 0, 60}, {460, 0, 0}});
    const std::vector<std::pair<std::uint32_t, int>> cases = {
        {0, 0},   {159, 0}, {160, 1}, {219, 1},  {220, 2},
        {300, 3}, {399, 3}, {459, 3}, {460, -1}, {1000, -1}};
    for (const auto& [time, expected] : cases) {
        const bool found = PositionHistory(history, cursor, time);
        EXPECT_EQ(found, expected >= 0) << time;
        if (found) {
            EXPECT_EQ(cursor.index, static_cast<std::uint32_t>(expected)) << time;
            EXPECT_EQ(cursor.barStart, time);
        }
        EXPECT_EQ(cursor.positioned, found);
    }
    Fill(history, {{100, 0, 60}});
    EXPECT_TRUE(PositionHistory(history, cursor, 5000));
    EXPECT_EQ(cursor.index, 0u);
    Fill(history, {});
    EXPECT_FALSE(PositionHistory(history, cursor, 0));
}

TEST_F(HistoryBarsTest, OverlapAddsItsShareOfPulsesAndCoveredSeconds) {
    // 60 s with 120 pulses cover 96..155; the 10-second bar from 152 overlaps 4 s.
    Fill(history, {{96, 120, 60}});
    ASSERT_TRUE(PositionHistory(history, cursor, 152));
    const BarSums sums = AccumulateBar(history, cursor, 10);
    EXPECT_EQ(sums.covered, 4u);
    EXPECT_EQ(sums.pulses, 8u);
    EXPECT_EQ(sums.maxPer10s, 20u);
    EXPECT_EQ(cursor.barStart, 162u);
}

TEST_F(HistoryBarsTest, PartialCoverageAveragesOverTheCoveredSecondsOnly) {
    Fill(history, {{1000, 30, 30}});
    ASSERT_TRUE(PositionHistory(history, cursor, 990));
    const BarSums sums = AccumulateBar(history, cursor, 60);
    EXPECT_EQ(sums.covered, 30u);
    EXPECT_EQ(sums.pulses, 30u);
    // 1 pulse/s with K = 1 and one tube: 3600 / 86 = 41 uR/h.
    EXPECT_EQ(MeanRate(sums, 100, 1), 41u);
    EXPECT_EQ(MeanRate(sums, 100, 2), 20u);
}

TEST_F(HistoryBarsTest, ShortRecordsNeverRaiseTheMaximum) {
    Fill(history, {{0, 900, 9}, {9, 10, 10}, {19, 0, 41}});
    ASSERT_TRUE(PositionHistory(history, cursor, 0));
    const BarSums sums = AccumulateBar(history, cursor, 60);
    EXPECT_EQ(sums.maxPer10s, 10u);
    EXPECT_EQ(sums.covered, 60u);
    EXPECT_EQ(sums.pulses, 910u);
    EXPECT_GE(PeakRate(sums, 100, 1), MeanRate(sums, 100, 1));
}

TEST_F(HistoryBarsTest, ARecordStartingAnHourBeforeItsPredecessorEndsTheBar) {
    Fill(history, {{10000, 60, 60}, {10060, 60, 60}, {5000, 60, 60}, {10620, 60, 60}});
    ASSERT_TRUE(PositionHistory(history, cursor, 10000));
    BarSums sums = AccumulateBar(history, cursor, 600);
    EXPECT_EQ(sums.covered, 120u);
    EXPECT_EQ(cursor.index, 2u);  // the next bar resumes with the stepped-back record
    sums = AccumulateBar(history, cursor, 600);
    EXPECT_EQ(sums.covered, 60u);
    EXPECT_EQ(sums.pulses, 60u);
}

TEST_F(HistoryBarsTest, InvalidAndZeroLengthRecordsAreHandled) {
    Fill(history, {{0, 1000, 10, 0xFF}, {10, 0xFFFFFFFF, 0}, {11, 5, 9}, {20, 10, 10}});
    ASSERT_TRUE(PositionHistory(history, cursor, 0));
    const BarSums sums = AccumulateBar(history, cursor, 30);
    EXPECT_EQ(sums.covered, 1u + 9u + 10u);
    EXPECT_EQ(sums.pulses, 0xFFFFFFFFull + 5 + 10);
    EXPECT_EQ(sums.maxPer10s, 10u);
}

DeviceDateTime Date(int year, int month, int day, int hour = 0, int minute = 0) {
    DeviceDateTime view = history_test::Date(year, month, day, hour, minute);
    view.second = 33;
    return view;
}

std::uint32_t At(int year, int month, int day, int hour = 0, int minute = 0) {
    DeviceDateTime time = Date(year, month, day, hour, minute);
    time.second = 0;
    return SecondsSince2000(time);
}

TEST(HistoryChart, YearViewOfALeapYearGivesFebruaryTwentyNineDays) {
    DeviceHistory history;
    std::vector<Rec> records;
    for (std::uint32_t t = At(2024, 2, 1); t < At(2024, 3, 1); t += 3600) {
        records.push_back({t, 3600, 3600});
    }
    Fill(history, records);
    history.k100 = 127;
    history.sensors = 2;
    SetUiLanguage(Language::English);
    HistoryChartView chart{HistoryLevel::Year, Date(2024, 6, 15, 10, 20), false};
    const ChartPicture picture = DrawHistory(history, chart);
    SetUiLanguage(Language::Russian);
    EXPECT_EQ(picture.title,
              (std::vector<std::string>{"Hostory for Year : 2024", "uR/h  K = 1,27"}));
    ASSERT_EQ(picture.bars.size(), 12u);
    EXPECT_EQ(chart.view.second, 0);
    const ChartBar& february = picture.bars[1];
    EXPECT_EQ(february.label, "2");
    EXPECT_EQ(february.length, 29u * 86400);
    EXPECT_EQ(february.series[2].color, kColorGreen);
    // 1 pulse/s, K 1.27, two tubes: 3600 * 127 / 86 / 2 / 100 -> 26 uR/h.
    EXPECT_EQ(february.series[1].value, 26.0);
    EXPECT_EQ(february.series[1].color, kColorLime);
    EXPECT_EQ(february.series[0].color, kColorFuchsia);
    EXPECT_EQ(february.series[0].value, 1.0);
    for (int month : {0, 2, 11}) {
        for (const ChartPoint& point : picture.bars[month].series) {
            EXPECT_EQ(point.color, kColorBlue);
            EXPECT_EQ(point.value, 1.0);
        }
    }
    EXPECT_EQ(picture.bars[0].label, "1");
    EXPECT_EQ(picture.bars[2].start, At(2024, 3, 1));

    chart.showMax = true;
    const ChartPicture withMax = DrawHistory(history, chart);
    EXPECT_EQ(withMax.bars[1].series[0].color, kColorYellow);
    EXPECT_EQ(ColorText(withMax.bars[1].series[0].color), "#FFFF00");
    EXPECT_EQ(ColorText(kColorGreen), "#008000");
    EXPECT_GE(withMax.bars[1].series[0].value, withMax.bars[1].series[1].value);
}

TEST(HistoryChart, TitlesAndLabelsFollowTheLevel) {
    DeviceHistory history;
    Fill(history, {});
    history.k100 = 100;
    const DeviceDateTime view = Date(2023, 3, 7, 4, 5);
    struct Case {
        HistoryLevel level;
        const char* title;
        std::size_t bars;
        const char* firstLabel;
        const char* lastLabel;
    };
    const Case cases[] = {
        {HistoryLevel::Minute, "История за минуту : 07.03.2023-04:05", 6, "0", "50"},
        {HistoryLevel::Hour, "История за час : 07.03.2023-4", 60, "0", "59"},
        {HistoryLevel::Day, "История за день : 07.03.2023", 24, "0", "23"},
        {HistoryLevel::Month, "История за месяц : 2023-03", 31, "1", "31"},
        {HistoryLevel::Year, "История за год : 2023", 12, "1", "12"},
    };
    for (const Case& c : cases) {
        HistoryChartView chart{c.level, view, false};
        const ChartPicture picture = DrawHistory(history, chart);
        EXPECT_EQ(picture.title[0], c.title);
        EXPECT_EQ(picture.title[1], "мкР/час  K = 1,00");
        ASSERT_EQ(picture.bars.size(), c.bars);
        EXPECT_EQ(picture.bars.front().label, c.firstLabel);
        EXPECT_EQ(picture.bars.back().label, c.lastLabel);
    }
}

}  // namespace
