#pragma once

#include <cstdint>
#include <memory>

#include "history/csv_text.h"
#include "history/history_reading_result.h"

// Adds the CSV lines of one page of the store, newest first (slot 255 down to
// 1), for the measurement records whose start lies in [from, to].
void ExportHistoryPage(const HistoryStore& store, int page, CsvText& csv, std::uint32_t from = 0,
                       std::uint32_t to = UINT32_MAX);

// The CSV text of a valid reading restricted to the records that start in
// [from, to], in the reading's order, rows numbered from 2: what the save
// writes, cut to a period.
std::unique_ptr<CsvText> CsvTextBetween(const DeviceHistory& history, std::uint32_t from,
                                        std::uint32_t to);
