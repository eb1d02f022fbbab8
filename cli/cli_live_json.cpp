#include "cli/cli_live_json.h"

#include "history/live_time_text.h"

namespace {

template <typename Value>
nlohmann::ordered_json OrNull(const std::optional<Value>& value) {
    return value ? nlohmann::ordered_json(*value) : nlohmann::ordered_json(nullptr);
}

}  // namespace

nlohmann::ordered_json LiveReadingJson(const LiveReading& reading) {
    return {{"time", LocalIsoTimeText(reading.timeMs)}, {"rate", DisplayedRate(reading)},
            {"unit", LiveUnitCode(reading.units)},      {"usv_h", OrNull(reading.usvPerHour)},
            {"cpm", OrNull(CountsPerMinute(reading))},  {"level", reading.level}};
}
