#include "cli/cli_measure_values.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "cli/cli_json_values.h"
#include "protocol/units.h"

namespace {

// A dose unit as the device writes it, where it stands in the unit tables and
// how many µSv one of it is (0: not a sievert unit).
struct DeviceDoseUnit {
    const char* code;
    int system;
    int step;
    double microSievert;
};

// The pulse counts in thousands and millions keep the device's names: the
// Russian ones do not tell them apart.
constexpr std::array<DeviceDoseUnit, 7> kDoseUnits{{
    {"uSv", 0, 0, 1},
    {"mSv", 0, 1, 1e3},
    {"Sv", 0, 2, 1e6},
    {"uR", 1, 0, 0},
    {"mR", 1, 1, 0},
    {"R", 1, 2, 0},
    {"PULSES", 2, 0, 0},
}};

const DeviceDoseUnit* FindDoseUnit(const std::string& code) {
    for (const DeviceDoseUnit& unit : kDoseUnits) {
        if (code == unit.code) {
            return &unit;
        }
    }
    return nullptr;
}

// The device's dose text "12,345 uSv" as its number and its unit.
struct DoseParts {
    std::string number;
    std::string unit;
};

DoseParts SplitDose(const std::string& text) {
    const std::size_t space = text.rfind(' ');
    if (space == std::string::npos) {
        return {text, {}};
    }
    return {text.substr(0, space), text.substr(space + 1)};
}

const char* RateUnitCode(int unitsCode) {
    switch (unitsCode) {
        case 0:
            return "uSv/h";
        case 1:
            return "uR/h";
        default:
            return "CPM";
    }
}

// The rate word in its unit: hundredths of µSv/h, µR/h, or twice the CPM.
double RateValue(int unitsCode, std::uint32_t raw) {
    switch (unitsCode) {
        case 0:
            return raw / 100.0;
        case 1:
            return raw;
        default:
            return raw >> 1;
    }
}

std::string TrimmedFront(const std::string& text) {
    return text.substr(std::min(text.find_first_not_of(' '), text.size()));
}

}  // namespace

nlohmann::ordered_json MeasureJson(const MeasurePageState& state) {
    const DoseParts dose = SplitDose(state.doseText);
    nlohmann::ordered_json doseValue = DecimalJson(dose.number);
    std::string doseUnit = dose.unit;
    const DeviceDoseUnit* unit = FindDoseUnit(dose.unit);
    if (unit != nullptr && unit->microSievert > 0 && doseValue.is_number()) {
        // The device writes at most three decimals.
        doseValue = std::round(doseValue.get<double>() * unit->microSievert * 1e3) / 1e3;
        doseUnit = "uSv";
    }
    return {{"doseRate", RateValue(state.unitsCode, state.rateRaw)},
            {"doseRateUnit", RateUnitCode(state.unitsCode)},
            {"dose", doseValue},
            {"doseUnit", doseUnit},
            {"unitsCode", state.unitsCode},
            {"rateRaw", state.rateRaw},
            {"level", state.fonLevel}};
}

std::string MeasureLine(const MeasurePageState& state) {
    const DoseParts dose = SplitDose(state.doseText);
    const DeviceDoseUnit* unit = FindDoseUnit(dose.unit);
    const std::string doseUnit =
        unit != nullptr ? TrimmedFront(DoseUnitName(unit->system, unit->step)) : dose.unit;
    return state.fonText + '\t' + dose.number + (doseUnit.empty() ? "" : " " + doseUnit);
}
