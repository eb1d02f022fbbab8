#include "history/history_chart_model.h"

#include <cstdio>

#include "base/language.h"
#include "history/history_bars.h"
#include "protocol/number_texts.h"
#include "protocol/units.h"

namespace {

constexpr std::uint32_t kDay = 86400;

struct LevelRow {
    const char* russian;
    const char* english;
    std::uint32_t barLength;  // seconds; 0: the days of the bar's month
    int firstLabel;
    int labelStep;
};

constexpr LevelRow kLevels[] = {
    {"История за минуту", "Hostory for Minute", 10, 0, 10},
    {"История за час", "Hostory for Hour", 60, 0, 1},
    {"История за день", "Hostory for Day", 3600, 0, 1},
    {"История за месяц", "Hostory for Month", kDay, 1, 1},
    {"История за год", "Hostory for Year", 0, 1, 1},
};

const LevelRow& Row(HistoryLevel level) {
    return kLevels[static_cast<int>(level)];
}

// The start of the first bar: the view with the fields below the level cleared.
DeviceDateTime FirstBarStart(HistoryLevel level, DeviceDateTime view) {
    view.second = 0;
    if (level >= HistoryLevel::Hour) {
        view.minute = 0;
    }
    if (level >= HistoryLevel::Day) {
        view.hour = 0;
    }
    if (level >= HistoryLevel::Month) {
        view.day = 1;
    }
    if (level >= HistoryLevel::Year) {
        view.month = 1;
    }
    return view;
}

ChartBar MakeBar(const BarSums& sums, std::uint32_t length, const DeviceHistory& history,
                 bool showMax) {
    ChartBar bar;
    bar.length = length;
    if (sums.covered == 0) {
        bar.series = {ChartPoint{1.0, kColorBlue}, ChartPoint{1.0, kColorBlue},
                      ChartPoint{1.0, kColorBlue}};
        return bar;
    }
    const std::uint32_t mean = MeanRate(sums, history.k100, history.sensors);
    bar.series[1] = {static_cast<double>(mean), kColorLime};
    bar.series[2] = {1.0, sums.covered == length ? kColorGreen : kColorFuchsia};
    bar.series[0] =
        showMax ? ChartPoint{static_cast<double>(PeakRate(sums, history.k100, history.sensors)),
                             kColorYellow}
                : ChartPoint{1.0, kColorFuchsia};
    return bar;
}

}  // namespace

int BarCount(HistoryLevel level, const DeviceDateTime& view) {
    switch (level) {
        case HistoryLevel::Minute:
            return 6;
        case HistoryLevel::Hour:
            return 60;
        case HistoryLevel::Day:
            return 24;
        case HistoryLevel::Month:
            return DaysInMonth(view.month, view.year);
        case HistoryLevel::Year:
            return 12;
    }
    return 0;
}

std::string ChartTitleLine(HistoryLevel level, const DeviceDateTime& view) {
    std::string line = PickText(Row(level).russian, Row(level).english);
    switch (level) {
        case HistoryLevel::Minute:
            return line + " : " + DateText(view) + "-" + TwoDigitText(view.hour) + ":" +
                   TwoDigitText(view.minute);
        case HistoryLevel::Hour:
            return line + " : " + DateText(view) + "-" + std::to_string(view.hour);
        case HistoryLevel::Day:
            return line + " : " + DateText(view);
        case HistoryLevel::Month:
            return line + " : 20" + TwoDigitText(view.year) + "-" + TwoDigitText(view.month);
        case HistoryLevel::Year:
            return line + " : 20" + TwoDigitText(view.year);
    }
    return line;
}

std::string ChartUnitLine(std::uint32_t k100) {
    return HistoryRateUnitName() + "  K = " + HundredthsText(k100);
}

std::string ColorText(std::uint32_t color) {
    char text[8];
    std::snprintf(text, sizeof text, "#%06X", color & 0xFFFFFF);
    return text;
}

ChartPicture DrawHistory(const DeviceHistory& history, HistoryChartView& view) {
    const DeviceDateTime first = FirstBarStart(view.level, view.view);
    ChartPicture picture;
    picture.title = {ChartTitleLine(view.level, view.view), ChartUnitLine(history.k100)};
    view.view.second = 0;

    std::uint32_t start = SecondsSince2000(first);
    HistoryCursor cursor;
    PositionHistory(history, cursor, start);
    const LevelRow& row = Row(view.level);
    const int count = BarCount(view.level, view.view);
    picture.bars.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const std::uint32_t length =
            row.barLength != 0 ? row.barLength
                               : static_cast<std::uint32_t>(DaysInMonth(i + 1, first.year)) * kDay;
        const BarSums sums = AccumulateBar(history, cursor, length);
        ChartBar bar = MakeBar(sums, length, history, view.showMax);
        bar.label = std::to_string(row.firstLabel + i * row.labelStep);
        bar.start = start;
        start += length;
        picture.bars.push_back(std::move(bar));
    }
    return picture;
}
