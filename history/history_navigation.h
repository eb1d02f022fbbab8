#pragma once

#include "history/history_chart_model.h"
#include "protocol/device_records.h"

// Moves the view one unit of its level (a minute, an hour, a day, a month or a
// year) back or forward, carrying into the larger fields; the day stays valid
// and the year stays within 2001..2059.
void StepView(DeviceDateTime& view, HistoryLevel level, bool forward);

// One level up; false at the year level.
bool LevelUp(HistoryChartView& chart);
// Down into bar `bar` (0-based) of the current level; false at the minute level.
bool DrillDown(HistoryChartView& chart, int bar);
// Back to the minute of the last reading.
void ToLast(HistoryChartView& chart, const DeviceTimeRecord& readTime);

DeviceDateTime ViewOf(const DeviceTimeRecord& time);
