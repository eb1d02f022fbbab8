#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>

#include "cli/cli_history_chart.h"
#include "cli/cli_history_period.h"
#include "protocol/calendar.h"

namespace {

std::uint32_t Seconds(int year, int month, int day, int hour, int minute, int second) {
    return SecondsSince2000(DeviceDateTime::Of(year, month, day, hour, minute, second));
}

struct TimeRow {
    const char* text;
    std::optional<std::uint32_t> start;
    std::optional<std::uint32_t> end;
};

void PrintTo(const TimeRow& row, std::ostream* out) {
    *out << '"' << row.text << '"';
}

class HistoryTimeText : public ::testing::TestWithParam<TimeRow> {};

TEST_P(HistoryTimeText, IsReadOnlyInTheDocumentedForms) {
    const TimeRow& row = GetParam();
    EXPECT_EQ(ParseHistoryTime(row.text, false), row.start);
    EXPECT_EQ(ParseHistoryTime(row.text, true), row.end);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, HistoryTimeText,
    ::testing::Values(
        TimeRow{"2026-12-08", Seconds(2026, 12, 8, 0, 0, 0), Seconds(2026, 12, 8, 23, 59, 59)},
        TimeRow{"2026-12-08T14:05", Seconds(2026, 12, 8, 14, 5, 0),
                Seconds(2026, 12, 8, 14, 5, 59)},
        TimeRow{"2026-12-08T14:05:30", Seconds(2026, 12, 8, 14, 5, 30),
                Seconds(2026, 12, 8, 14, 5, 30)},
        TimeRow{"2000-01-01", 0u, 86399u},
        TimeRow{"2024-02-29", Seconds(2024, 2, 29, 0, 0, 0), Seconds(2024, 2, 29, 23, 59, 59)}));

INSTANTIATE_TEST_SUITE_P(
    Refused, HistoryTimeText,
    ::testing::Values(TimeRow{"2026-+1-+8", {}, {}}, TimeRow{"+2026-01-08", {}, {}},
                      TimeRow{"2026--1-08", {}, {}}, TimeRow{"2026-1-8", {}, {}},
                      TimeRow{" 2026-01-08", {}, {}}, TimeRow{"2026-01-08 ", {}, {}},
                      TimeRow{"2026- 1-08", {}, {}}, TimeRow{"2026-01-08T 4:05", {}, {}},
                      TimeRow{"2026-01-08T14:+5", {}, {}}, TimeRow{"2026-01-08T14:05:-1", {}, {}},
                      TimeRow{"2026-01-08T14", {}, {}}, TimeRow{"2026-01-08T14:05x", {}, {}},
                      TimeRow{"2026-01-08x", {}, {}}, TimeRow{"2026-01-08T", {}, {}},
                      TimeRow{"20260-01-08", {}, {}}, TimeRow{"4294969322-01-08", {}, {}},
                      TimeRow{"2026-01-0800", {}, {}}, TimeRow{"2023-02-29", {}, {}},
                      TimeRow{"2100-01-01", {}, {}}, TimeRow{"1999-12-31", {}, {}},
                      TimeRow{"2026-01-08T24:00", {}, {}}, TimeRow{"2026-01-08T23:60", {}, {}},
                      TimeRow{"", {}, {}}));

TEST(ChartRequestText, TakesALevelAndAnOptionalDateTimeAndNothingElse) {
    const auto plain = ParseChartRequest("day", true);
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->level, HistoryLevel::Day);
    EXPECT_FALSE(plain->at);
    EXPECT_TRUE(plain->showMax);
    const auto at = ParseChartRequest("hour@2023-03-06T10:00", false);
    ASSERT_TRUE(at && at->at);
    EXPECT_EQ(at->level, HistoryLevel::Hour);
    EXPECT_EQ(SecondsSince2000(*at->at), Seconds(2023, 3, 6, 10, 0, 0));
    for (const char* text :
         {"week", "Hour", " hour", "hour ", "hour@", "hour@@2023-03-06", "hour@2023-03-06@",
          "hour@2023-+3-06", "hour@ 2023-03-06", "hour@2023-03-06T10:00 ", ""}) {
        EXPECT_FALSE(ParseChartRequest(text, false)) << text;
    }
}

}  // namespace
