#include "history/live_series.h"

#include <gtest/gtest.h>

namespace {

constexpr std::int64_t kMinute = LiveSeries::kMinuteMs;
constexpr std::int64_t kT0 = 1'700'000'040'000;  // a minute's start

// A reading a second from the fake clock's start, for `seconds` seconds.
void Read(LiveSeries& series, std::int64_t fromSecond, int seconds, double value,
          bool alarm = false) {
    for (int i = 0; i < seconds; ++i) {
        series.Add({kT0 + (fromSecond + i) * 1000, value, alarm});
    }
}

TEST(LiveSeries, ReducesToColumnsAndMinuteMeansWithAGapWhereNothingWasRead) {
    LiveSeries series;
    Read(series, 0, 60, 1.0);         // minute 0: all 1
    Read(series, 60, 30, 2.0);        // minute 1: half 2 ...
    Read(series, 90, 30, 4.0, true);  // ... half 4, alarmed
    Read(series, 300, 60, 3.0);       // minutes 2 to 4 unread, then minute 5
    series.Add({kT0 + 1000, 99.0});   // older than the newest: ignored

    const auto means = series.MinuteMeans(kT0, kT0 + 6 * kMinute);
    ASSERT_EQ(means.size(), 3u);
    EXPECT_EQ(means[0].minuteMs, kT0);
    EXPECT_DOUBLE_EQ(means[0].value, 1.0);
    EXPECT_FALSE(means[0].joined);
    EXPECT_DOUBLE_EQ(means[1].value, 3.0);
    EXPECT_TRUE(means[1].joined);
    EXPECT_EQ(means[2].minuteMs, kT0 + 5 * kMinute);
    EXPECT_FALSE(means[2].joined) << "a mean line across the gap";
    EXPECT_EQ(means[0].timeMs, kT0 + 29'500) << "drawn where its readings are";

    // A gap inside a minute parts its mean in two.
    Read(series, 360, 10, 3.0);
    Read(series, 380, 10, 5.0);
    const auto parted = series.MinuteMeans(kT0 + 6 * kMinute, kT0 + 7 * kMinute);
    ASSERT_EQ(parted.size(), 2u);
    EXPECT_DOUBLE_EQ(parted[1].value, 5.0);
    EXPECT_EQ(parted[1].timeMs, kT0 + 384'500);
    EXPECT_FALSE(parted[1].joined);

    // Six columns of a minute each.
    const auto columns = series.Reduce(kT0, kT0 + 6 * kMinute, 6);
    ASSERT_EQ(columns.size(), 6u);
    EXPECT_FALSE(columns[0].empty);
    EXPECT_FALSE(columns[0].joined);
    EXPECT_TRUE(columns[1].joined);
    EXPECT_DOUBLE_EQ(columns[1].min, 2.0);
    EXPECT_DOUBLE_EQ(columns[1].max, 4.0);
    EXPECT_TRUE(columns[1].alarm);
    EXPECT_FALSE(columns[0].alarm);
    EXPECT_TRUE(columns[2].empty && columns[3].empty && columns[4].empty);
    EXPECT_FALSE(columns[5].joined) << "a line across the gap";

    const auto peak = series.Peak(kT0, kT0 + 6 * kMinute);
    ASSERT_TRUE(peak);
    EXPECT_DOUBLE_EQ(peak->value, 4.0);
    EXPECT_EQ(peak->timeMs, kT0 + 90 * 1000);
    EXPECT_DOUBLE_EQ(series.Peak(kT0 + 5 * kMinute, kT0 + 6 * kMinute)->value, 3.0);
    EXPECT_FALSE(series.Peak(kT0 + 2 * kMinute, kT0 + 5 * kMinute));
}

TEST(LiveSeries, KeepsOneDayAndReducesItToAPairPerColumn) {
    LiveSeries series;
    const int day = 24 * 3600;
    for (int i = 0; i <= day + 10; ++i) {
        series.Add({kT0 + std::int64_t{i} * 1000, static_cast<double>(i % 100)});
    }
    EXPECT_EQ(series.Points().size(), static_cast<std::size_t>(day + 1));
    const std::int64_t end = series.Points().back().timeMs + 1;
    const auto columns = series.Reduce(end - LiveSeries::kKeepMs, end, 800);
    ASSERT_EQ(columns.size(), 800u);
    for (std::size_t i = 0; i < columns.size(); ++i) {
        ASSERT_FALSE(columns[i].empty) << i;
        EXPECT_DOUBLE_EQ(columns[i].min, 0.0) << i;
        EXPECT_DOUBLE_EQ(columns[i].max, 99.0) << i;
        EXPECT_EQ(columns[i].joined, i != 0) << i;
    }
}

}  // namespace
