#include "settings/threshold_tables.h"

#include "protocol/units.h"

#include <array>

namespace {

using Column = std::array<const char*, kUnitSystems>;

// Sievert in uSv/h; Roentgen 100 times that; CPM 200 times, as a whole number.
constexpr std::array<Column, kBackgroundRows> kBackground{{
    {"0,3", "30", "60"},
    {"0,4", "40", "80"},
    {"0,5", "50", "100"},
    {"0,6", "60", "120"},
    {"0,7", "70", "140"},
    {"0,8", "80", "160"},
    {"0,9", "90", "180"},
    {"1,0", "100", "200"},
    {"1,2", "120", "240"},
    {"1,5", "150", "300"},
    {"2,0", "200", "400"},
    {"5,0", "500", "1000"},
    {"10", "-1", "2000"},
    {"30", "-3", "6000"},
    {"60", "-6", "12000"},
    {"100", "-10", "20000"},
}};

constexpr std::array<Column, kDoseRows> kDose{{
    {"-0,01", "-1,0", "100e3"},
    {"-0,05", "-5,0", "500e3"},
    {"-0,1", "-10", "1e6"},
    {"-0,5", "-50", "5e6"},
    {"-1,0", "-100", "10e6"},
    {"-5,0", "-500", "50e6"},
    {"-10,0", "--1,0", "100e6"},
    {"-50,0", "--5,0", "500e6"},
    {"--0,1", "--10", "1e9"},
    {"--0,5", "--50", "5e9"},
    {"--1,0", "--100", "10e9"},
    {"--5,0", "--500", "50e9"},
    {"--10", "--1000", "100e9"},
    {"--50", "--5000", "500e9"},
    {"--100", "--10000", "1e12"},
}};

}  // namespace

int ThresholdRows(ThresholdTable table) {
    return table == ThresholdTable::Background ? kBackgroundRows : kDoseRows;
}

const char* ThresholdEntry(ThresholdTable table, int unitSystem, int row) {
    return table == ThresholdTable::Background ? kBackground.at(row).at(unitSystem)
                                               : kDose.at(row).at(unitSystem);
}

std::string ThresholdText(ThresholdTable table, int unitSystem, int row) {
    std::string entry = ThresholdEntry(table, unitSystem, row);
    const auto steps = static_cast<int>(entry.find_first_not_of('-'));
    entry.erase(0, steps);
    const auto& unitName = table == ThresholdTable::Background ? RateUnitName : DoseUnitName;
    return entry + " " + unitName(unitSystem, steps);
}

std::vector<std::string> ThresholdItems(ThresholdTable table, int unitSystem) {
    std::vector<std::string> items;
    for (int row = 0; row < ThresholdRows(table); ++row) {
        items.push_back(ThresholdText(table, unitSystem, row));
    }
    return items;
}

int ThresholdUnits::Settle(int unitsSelection) {
    if (unitsSelection >= 0) {
        last_ = unitsSelection > kUnitSystems - 1 ? kUnitSystems - 1 : unitsSelection;
    }
    return last_;
}
