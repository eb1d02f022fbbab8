#include "cli/cli_history_chart.h"

#include <nlohmann/json.hpp>
#include <sstream>

#include "base/language.h"
#include "cli/cli_history_period.h"
#include "history/history_navigation.h"

std::optional<ChartRequest> ChartRequestOf(const std::string& text, bool showMax,
                                           CliReport& report) {
    std::optional<ChartRequest> request = ParseChartRequest(text, showMax);
    if (!request) {
        report.Fail(PickText("Неверный вид графика: ", "Bad chart view: ") + text +
                    PickText(" (minute, hour, day, month или year, затем @2026-12-08T14:05)",
                             " (minute, hour, day, month or year, then @2026-12-08T14:05)"));
    }
    return request;
}

std::optional<ChartRequest> ParseChartRequest(const std::string& text, bool showMax) {
    static constexpr std::pair<const char*, HistoryLevel> kLevels[] = {
        {"minute", HistoryLevel::Minute},
        {"hour", HistoryLevel::Hour},
        {"day", HistoryLevel::Day},
        {"month", HistoryLevel::Month},
        {"year", HistoryLevel::Year}};
    const std::size_t at = text.find('@');
    const std::string levelName = text.substr(0, at);
    ChartRequest request;
    request.showMax = showMax;
    bool known = false;
    for (const auto& [name, level] : kLevels) {
        if (levelName == name) {
            request.level = level;
            known = true;
        }
    }
    if (!known) {
        return std::nullopt;
    }
    if (at != std::string::npos) {
        const auto seconds = ParseHistoryTime(text.substr(at + 1), false);
        if (!seconds) {
            return std::nullopt;
        }
        request.at = DateTimeOfSeconds(*seconds);
    }
    return request;
}

namespace {

ChartPicture Picture(const DeviceHistory& history, const ChartRequest& request) {
    HistoryChartView view;
    ToLast(view, history.readTime);
    view.level = request.level;
    view.showMax = request.showMax;
    if (request.at) {
        view.view = *request.at;
    }
    return DrawHistory(history, view);
}

nlohmann::ordered_json PictureJson(const ChartPicture& picture) {
    nlohmann::ordered_json bars = nlohmann::ordered_json::array();
    for (const ChartBar& bar : picture.bars) {
        nlohmann::ordered_json entry{{"label", bar.label}};
        for (std::size_t s = 0; s < bar.series.size(); ++s) {
            entry["series" + std::to_string(s + 1)] = {{"value", bar.series[s].value},
                                                       {"color", ColorText(bar.series[s].color)}};
        }
        bars.push_back(std::move(entry));
    }
    return {{"title", picture.title}, {"bars", bars}};
}

}  // namespace

nlohmann::ordered_json ChartJson(const DeviceHistory& history, const ChartRequest& request) {
    return PictureJson(Picture(history, request));
}

std::string ChartText(const DeviceHistory& history, const ChartRequest& request, bool json) {
    const ChartPicture picture = Picture(history, request);
    if (json) {
        return PictureJson(picture).dump() + "\n";
    }
    std::ostringstream text;
    for (const std::string& line : picture.title) {
        text << line << '\n';
    }
    for (const ChartBar& bar : picture.bars) {
        text << bar.label;
        for (const ChartPoint& point : bar.series) {
            text << '\t' << point.value << ' ' << ColorText(point.color);
        }
        text << '\n';
    }
    return text.str();
}
