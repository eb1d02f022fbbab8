#include "history/live_reading.h"

#include "protocol/units.h"

namespace {

// 1 Sv = 100 R for the dose rates a dosimeter shows.
constexpr double kMicroRoentgenPerMicroSievert = 100.0;

bool Counts(int units) {
    return units >= static_cast<int>(UnitSystem::Counts);
}

}  // namespace

LiveReading LiveReading::Of(std::int64_t timeMs, int units, std::uint32_t rateWord, int level) {
    LiveReading reading;
    reading.timeMs = timeMs;
    reading.rateWord = rateWord;
    reading.units = units;
    reading.level = level;
    if (Counts(units)) {
        reading.countWord = rateWord;
    } else if (units == static_cast<int>(UnitSystem::Sievert)) {
        reading.usvPerHour = rateWord / 100.0;
    } else {
        reading.usvPerHour = rateWord / kMicroRoentgenPerMicroSievert;
    }
    return reading;
}

double DisplayedRate(const LiveReading& reading) {
    if (Counts(reading.units)) {
        return static_cast<double>(reading.rateWord >> 1);
    }
    return reading.units == static_cast<int>(UnitSystem::Sievert) ? reading.rateWord / 100.0
                                                                  : reading.rateWord;
}

std::optional<std::uint32_t> CountsPerMinute(const LiveReading& reading) {
    if (!reading.countWord) {
        return std::nullopt;
    }
    return *reading.countWord >> 1;
}

std::string LiveUnitText(int units) {
    return RateUnitName(Counts(units) ? static_cast<int>(UnitSystem::Counts) : units, 0);
}

const char* LiveUnitCode(int units) {
    if (Counts(units)) {
        return "CPM";
    }
    return units == static_cast<int>(UnitSystem::Sievert) ? "uSv/h" : "uR/h";
}
