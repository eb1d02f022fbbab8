#pragma once

#include <CLI/CLI.hpp>
#include <cstdint>
#include <optional>
#include <string>

#include "cli/cli_report.h"
#include "protocol/calendar.h"

// Seconds since 2000 (the device calendar) of "2026-12-08", "2026-12-08T14:05"
// or "2026-12-08T14:05:30", digits exactly as shown. The parts left out are the start of the period
// the text names, or its last second with `endOfPeriod` (the whole day for a
// date alone). None for a text of another form or a time the device calendar
// cannot hold (outside 2000 to 2099).
std::optional<std::uint32_t> ParseHistoryTime(const std::string& text, bool endOfPeriod);

// The records --from and --to let through, in seconds since 2000.
struct HistoryPeriod {
    std::uint32_t from = 0;
    std::uint32_t to = UINT32_MAX;
    bool whole = true;
};

// The period --from and --to name (either may be empty); none, with the
// failure told to `report`, when they make none.
std::optional<HistoryPeriod> PeriodOf(const std::string& from, const std::string& to,
                                      CliReport& report);

// The same for a command that may write --csv FILE: the file's folder is
// checked too, before anything is read.
std::optional<HistoryPeriod> PeriodAndTarget(const std::string& from, const std::string& to,
                                             const std::string& csvFile, CliReport& report);

// --from and --to on `command`, and --csv FILE: the options of a command that
// gives records of a period.
void AddPeriodOptions(CLI::App& command, std::string& from, std::string& to, std::string& csvFile);

// "2026-12-08T14:05:00", the form --from and --to take.
std::string PeriodTimeText(const DeviceDateTime& time);
