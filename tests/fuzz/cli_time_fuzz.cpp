// The command line's --from/--to dates and --chart requests. An accepted date
// has one of the documented forms, means the moment its digits name (the
// parts left out are the start of the period, or its last second for the
// end), and a chart request names a level and such a date.

#include <regex>
#include <string>

#include "cli/cli_history_chart.h"
#include "cli/cli_history_period.h"
#include "fuzz_support.h"
#include "protocol/calendar.h"

namespace {

// 2026-12-08, 2026-12-08T14:05, 2026-12-08 14:05:30 (T or space before the time).
const std::regex kForm(R"((\d{4})-(\d{2})-(\d{2})(?:[T ](\d{2}):(\d{2})(?::(\d{2}))?)?)");

int Field(const std::smatch& match, std::size_t index, int missing) {
    return match[index].matched ? std::stoi(match[index].str()) : missing;
}

void CheckTime(const std::string& text) {
    const auto start = ParseHistoryTime(text, false);
    const auto end = ParseHistoryTime(text, true);
    FUZZ_CHECK(start.has_value() == end.has_value());
    if (!start) {
        return;
    }
    std::smatch match;
    FUZZ_CHECK(std::regex_match(text, match, kForm));
    for (const bool last : {false, true}) {
        const DeviceDateTime named =
            DeviceDateTime::Of(Field(match, 1, 0), Field(match, 2, 0), Field(match, 3, 0),
                               Field(match, 4, last ? 23 : 0), Field(match, 5, last ? 59 : 0),
                               Field(match, 6, last ? 59 : 0));
        FUZZ_CHECK(SecondsSince2000(named) == (last ? *end : *start));
        FUZZ_CHECK(DateTimeOfSeconds(last ? *end : *start) == named);
    }
    const std::uint32_t span = !match[4].matched ? 86399 : !match[6].matched ? 59 : 0;
    FUZZ_CHECK(*end - *start == span);
}

void CheckChart(const std::string& text, bool showMax) {
    const auto request = ParseChartRequest(text, showMax);
    if (!request) {
        return;
    }
    FUZZ_CHECK(request->showMax == showMax);
    const std::size_t at = text.find('@');
    FUZZ_CHECK(at == std::string::npos || request->at.has_value());
    if (request->at) {
        const auto seconds = ParseHistoryTime(text.substr(at + 1), false);
        FUZZ_CHECK(seconds.has_value() && DateTimeOfSeconds(*seconds) == *request->at);
    }
    static DeviceHistory history;  // no records: every bar empty
    const std::string chart = ChartText(history, *request, showMax);
    FUZZ_CHECK(!chart.empty());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
    CheckTime(text);
    CheckChart(text, (data[0] & 1) != 0);
    return 0;
}
