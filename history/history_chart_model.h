#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "history/history_reading_result.h"
#include "protocol/calendar.h"

enum class HistoryLevel : int { Minute = 0, Hour = 1, Day = 2, Month = 3, Year = 4 };

inline constexpr std::uint32_t kColorLime = 0x00FF00;
inline constexpr std::uint32_t kColorGreen = 0x008000;
inline constexpr std::uint32_t kColorFuchsia = 0xFF00FF;
inline constexpr std::uint32_t kColorYellow = 0xFFFF00;
inline constexpr std::uint32_t kColorBlue = 0x0000FF;

struct ChartPoint {
    double value = 0;
    std::uint32_t color = 0;  // 0xRRGGBB
};

// One bar position: the label under it and the point of each of the three
// series drawn over each other there (maximum or filler, mean, coverage).
struct ChartBar {
    std::string label;
    std::array<ChartPoint, 3> series{};
    std::uint32_t start = 0;   // seconds since 2000
    std::uint32_t length = 0;  // seconds
};

struct ChartPicture {
    std::vector<std::string> title;  // the two title lines
    std::vector<ChartBar> bars;
};

// What the chart shows: a level, the moment it is centred on and whether
// Series1 shows the peaks.
struct HistoryChartView {
    HistoryLevel level = HistoryLevel::Minute;
    DeviceDateTime view{};
    bool showMax = false;
};

// Rebuilds the title and every bar of the view from a valid history. Sets the
// view's second to 0, as drawing always does.
ChartPicture DrawHistory(const DeviceHistory& history, HistoryChartView& view);

// Bars of a level, and the title's first line in the interface language.
int BarCount(HistoryLevel level, const DeviceDateTime& view);
std::string ChartTitleLine(HistoryLevel level, const DeviceDateTime& view);
std::string ChartUnitLine(std::uint32_t k100);
// "#RRGGBB"
std::string ColorText(std::uint32_t color);
