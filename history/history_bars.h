#pragma once

#include <cstdint>

#include "history/history_reading_result.h"

// Where the bar arithmetic stands in the records: the logical record the next
// bar starts its walk at, and that bar's start time.
struct HistoryCursor {
    std::uint32_t index = 0;
    std::uint32_t barStart = 0;  // seconds since 2000
    bool positioned = false;
};

// What the records say about one bar.
struct BarSums {
    std::uint64_t pulses = 0;     // pulses that fall inside the bar
    std::uint32_t covered = 0;    // seconds of the bar covered by records
    std::uint32_t maxPer10s = 0;  // highest pulses per 10 s of a record of 10 s or more
};

// Binary search for the first logical record, assuming start-time order, that
// ends after `time`; positions the cursor there with `time` as the bar start.
// Returns false (cursor not positioned) when there is none.
bool PositionHistory(const DeviceHistory& history, HistoryCursor& cursor, std::uint32_t time);

// Sums the records that overlap the bar of `length` seconds at the cursor, and
// moves the cursor on to the next bar. Pure arithmetic: nothing else runs meanwhile.
BarSums AccumulateBar(const DeviceHistory& history, HistoryCursor& cursor, std::uint32_t length);

// The bar heights in uR/h, with the chart's integer widths.
std::uint32_t MeanRate(const BarSums& sums, std::uint32_t k100, int sensors);
std::uint32_t PeakRate(const BarSums& sums, std::uint32_t k100, int sensors);
