#include <gtest/gtest.h>

#include "history/history_navigation.h"
#include "unit/history/history_test_support.h"

namespace {

using history_test::Date;

DeviceDateTime Stepped(DeviceDateTime view, HistoryLevel level, bool forward) {
    StepView(view, level, forward);
    return view;
}

TEST(HistoryNavigation, StepsCarryIntoTheLargerFields) {
    EXPECT_EQ(Stepped(Date(2024, 1, 1, 0, 0), HistoryLevel::Minute, false),
              Date(2023, 12, 31, 23, 59));
    EXPECT_EQ(Stepped(Date(2023, 12, 31, 23, 59), HistoryLevel::Minute, true),
              Date(2024, 1, 1, 0, 0));
    EXPECT_EQ(Stepped(Date(2024, 3, 1, 0, 7), HistoryLevel::Hour, false), Date(2024, 2, 29, 23, 7));
    EXPECT_EQ(Stepped(Date(2023, 2, 28), HistoryLevel::Day, true), Date(2023, 3, 1));
    EXPECT_EQ(Stepped(Date(2023, 3, 1), HistoryLevel::Day, false), Date(2023, 2, 28));
}

TEST(HistoryNavigation, MonthAndYearStepsKeepTheDayValidAndStayInsideTheCalendar) {
    EXPECT_EQ(Stepped(Date(2024, 3, 31), HistoryLevel::Month, false), Date(2024, 2, 29));
    EXPECT_EQ(Stepped(Date(2024, 2, 29), HistoryLevel::Year, true), Date(2025, 2, 28));
    EXPECT_EQ(Stepped(Date(2001, 1, 15), HistoryLevel::Month, false), Date(2001, 12, 15));
    EXPECT_EQ(Stepped(Date(2059, 12, 15), HistoryLevel::Month, true), Date(2059, 1, 15));
    EXPECT_EQ(Stepped(Date(2001, 5, 5), HistoryLevel::Year, false), Date(2001, 5, 5));
    EXPECT_EQ(Stepped(Date(2059, 5, 5), HistoryLevel::Year, true), Date(2059, 5, 5));
}

TEST(HistoryNavigation, DrillDownSetsTheFieldOfTheNewLevel) {
    HistoryChartView chart{HistoryLevel::Month, Date(2023, 3, 7, 4, 5), false};
    ASSERT_TRUE(DrillDown(chart, 14));
    EXPECT_EQ(chart.level, HistoryLevel::Day);
    EXPECT_EQ(chart.view.day, 15);
    ASSERT_TRUE(DrillDown(chart, 13));
    EXPECT_EQ(chart.view.hour, 13);
    ASSERT_TRUE(DrillDown(chart, 59));
    EXPECT_EQ(chart.view.minute, 59);
    EXPECT_EQ(chart.level, HistoryLevel::Minute);
    EXPECT_FALSE(DrillDown(chart, 2));
    EXPECT_EQ(chart.level, HistoryLevel::Minute);

    chart = {HistoryLevel::Year, Date(2023, 1, 31), false};
    ASSERT_TRUE(DrillDown(chart, 1));
    EXPECT_EQ(chart.view, Date(2023, 2, 28));
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(LevelUp(chart) || i > 0);
    }
    EXPECT_EQ(chart.level, HistoryLevel::Year);

    ToLast(chart, DeviceTimeRecord{9, 8, 7, 6, 5, 24, 0});
    EXPECT_EQ(chart.level, HistoryLevel::Minute);
    DeviceDateTime expected = Date(2024, 5, 6, 7, 8);
    expected.second = 9;
    EXPECT_EQ(chart.view, expected);
}

}  // namespace
