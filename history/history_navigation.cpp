#include "history/history_navigation.h"

#include <algorithm>

namespace {

constexpr int kFirstYear = 1;
constexpr int kLastYear = 59;

void ClampDay(DeviceDateTime& view) {
    view.day =
        static_cast<std::uint8_t>(std::min<int>(view.day, DaysInMonth(view.month, view.year)));
}

void StepYear(DeviceDateTime& view, bool forward) {
    if (forward && view.year < kLastYear) {
        ++view.year;
    } else if (!forward && view.year > kFirstYear) {
        --view.year;
    }
    ClampDay(view);
}

void StepMonth(DeviceDateTime& view, bool forward) {
    if (forward && view.month >= 12) {
        view.month = 1;
        StepYear(view, true);
    } else if (!forward && view.month <= 1) {
        view.month = 12;
        StepYear(view, false);
    } else {
        view.month = static_cast<std::uint8_t>(view.month + (forward ? 1 : -1));
    }
    ClampDay(view);
}

void StepDay(DeviceDateTime& view, bool forward) {
    if (forward) {
        if (++view.day > DaysInMonth(view.month, view.year)) {
            view.day = 1;
            StepMonth(view, true);
        }
    } else if (view.day <= 1) {
        StepMonth(view, false);
        view.day = static_cast<std::uint8_t>(DaysInMonth(view.month, view.year));
    } else {
        --view.day;
    }
}

// Steps a field that runs from 0 to `last`; true when it wrapped around.
bool StepWrapping(std::uint8_t& field, int last, bool forward) {
    if (forward) {
        field = field >= last ? 0 : static_cast<std::uint8_t>(field + 1);
        return field == 0;
    }
    const bool wraps = field == 0;
    field = wraps ? static_cast<std::uint8_t>(last) : static_cast<std::uint8_t>(field - 1);
    return wraps;
}

void StepHour(DeviceDateTime& view, bool forward) {
    if (StepWrapping(view.hour, 23, forward)) {
        StepDay(view, forward);
    }
}

void StepMinute(DeviceDateTime& view, bool forward) {
    if (StepWrapping(view.minute, 59, forward)) {
        StepHour(view, forward);
    }
}

}  // namespace

void StepView(DeviceDateTime& view, HistoryLevel level, bool forward) {
    switch (level) {
        case HistoryLevel::Minute:
            StepMinute(view, forward);
            break;
        case HistoryLevel::Hour:
            StepHour(view, forward);
            break;
        case HistoryLevel::Day:
            StepDay(view, forward);
            break;
        case HistoryLevel::Month:
            StepMonth(view, forward);
            break;
        case HistoryLevel::Year:
            StepYear(view, forward);
            break;
    }
}

bool LevelUp(HistoryChartView& chart) {
    if (chart.level == HistoryLevel::Year) {
        return false;
    }
    chart.level = static_cast<HistoryLevel>(static_cast<int>(chart.level) + 1);
    return true;
}

bool DrillDown(HistoryChartView& chart, int bar) {
    if (chart.level == HistoryLevel::Minute || bar < 0) {
        return false;
    }
    chart.level = static_cast<HistoryLevel>(static_cast<int>(chart.level) - 1);
    const auto v = static_cast<std::uint8_t>(bar);
    switch (chart.level) {
        case HistoryLevel::Minute:
            chart.view.minute = v;
            break;
        case HistoryLevel::Hour:
            chart.view.hour = v;
            break;
        case HistoryLevel::Day:
            chart.view.day = static_cast<std::uint8_t>(v + 1);
            break;
        case HistoryLevel::Month:
            chart.view.month = static_cast<std::uint8_t>(v + 1);
            ClampDay(chart.view);
            break;
        case HistoryLevel::Year:
            break;
    }
    return true;
}

DeviceDateTime ViewOf(const DeviceTimeRecord& time) {
    DeviceDateTime view;
    view.second = time.second;
    view.minute = time.minute;
    view.hour = time.hour;
    view.day = time.day;
    view.month = time.month;
    view.year = time.year;
    return view;
}

void ToLast(HistoryChartView& chart, const DeviceTimeRecord& readTime) {
    chart.view = ViewOf(readTime);
    chart.level = HistoryLevel::Minute;
}
