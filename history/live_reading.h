#pragma once

#include <cstdint>
#include <optional>
#include <string>

// One dose-rate reading of the measurement page as the archive keeps it.
struct LiveReading {
    std::int64_t timeMs = 0;  // the PC's clock, UTC, milliseconds since 1970
    std::uint32_t rateWord = 0;
    int units = 0;  // the device's units code: 0 Sievert, 1 Roentgen, 2 and above counts
    std::optional<double> usvPerHour;        // for Sievert and Roentgen
    std::optional<std::uint32_t> countWord;  // the count-rate word, for counts
    int level = 0;

    static LiveReading Of(std::int64_t timeMs, int units, std::uint32_t rateWord, int level);

    bool operator==(const LiveReading&) const = default;
};

// The rate in the unit the device showed: hundredths of µSv/h, µR/h, or half
// the count word as CPM.
double DisplayedRate(const LiveReading& reading);
std::optional<std::uint32_t> CountsPerMinute(const LiveReading& reading);
// The unit's name in the interface language, and a fixed one for machines.
std::string LiveUnitText(int units);
const char* LiveUnitCode(int units);
