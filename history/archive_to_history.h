#pragma once

#include <string>

#include "history/history_archive.h"

// Puts an archived device's records into `history` for the chart and the CSV,
// in place of a reading: valid, oldest first, the present moment at the end of
// the newest record, the calibration and sensor count of the newest record.
void LoadArchiveHistory(const std::vector<ArchivedRecord>& records, DeviceHistory& history);

// The CSV of the archived records that start between `from` and `to`
// (seconds since 2000), newest first, each with the calibration of the
// reading that brought it: the lines the reading's CSV has for them, so no
// record of slot 0. The chart, like the reading's, counts those records.
std::string ArchiveCsv(const std::vector<ArchivedRecord>& records, std::uint32_t from,
                       std::uint32_t to);
