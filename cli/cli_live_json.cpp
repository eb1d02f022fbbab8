#include "cli/cli_live_json.h"

#include <nlohmann/json.hpp>

#include "history/live_time_text.h"

namespace {

template <typename Value>
nlohmann::json OrNull(const std::optional<Value>& value) {
    return value ? nlohmann::json(*value) : nlohmann::json(nullptr);
}

}  // namespace

std::string LiveReadingJsonLine(const LiveReading& reading) {
    return nlohmann::json{
        {"time", LocalIsoTimeText(reading.timeMs)}, {"rate", DisplayedRate(reading)},
        {"unit", LiveUnitCode(reading.units)},      {"usv_h", OrNull(reading.usvPerHour)},
        {"cpm", OrNull(CountsPerMinute(reading))},  {"level", reading.level}}
        .dump();
}
