#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "cli/cli_report.h"
#include "history/history_chart_model.h"
#include "history/history_reading_result.h"

// What --chart LEVEL[@DATETIME] and --max ask for: one view of the history
// chart. Without a DATETIME the view stands at the reading's time, as the
// page's chart does after a reading.
struct ChartRequest {
    HistoryLevel level = HistoryLevel::Minute;
    std::optional<DeviceDateTime> at;
    bool showMax = false;
};

// None for an unknown level or a date-time of another form.
std::optional<ChartRequest> ParseChartRequest(const std::string& text, bool showMax);
// The same, with the failure told to `report` for a request of another form.
std::optional<ChartRequest> ChartRequestOf(const std::string& text, bool showMax,
                                           CliReport& report);

// The bars of the view exactly as the page computes them: the two title lines,
// then per bar its label and the value and colour of the three series; with
// `json` one object holding `title` and `bars`.
std::string ChartText(const DeviceHistory& history, const ChartRequest& request, bool json);
nlohmann::ordered_json ChartJson(const DeviceHistory& history, const ChartRequest& request);
