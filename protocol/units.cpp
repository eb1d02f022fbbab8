#include "protocol/units.h"

#include <array>

#include "base/language.h"

namespace {

struct TextPair {
    std::string russian;
    std::string english;
};

using UnitTable = std::array<std::array<TextPair, 3>, 3>;

// The Russian Roentgen names keep their leading spaces: the pages align on them.
const UnitTable& RateTable() {
    static const UnitTable table{{
        {{{"мкЗв/ч", "uSv/h"}, {"мЗв/ч", "mSv/h"}, {"Зв/ч", "Sv/h"}}},
        {{{"мкР/ч", "uR/h"}, {" мР/ч", "mR/h"}, {"  Р/ч", "R/h"}}},
        {{{"CPM", "CPM"}, {"CPM", "CPM"}, {"CPM", "CPM"}}},
    }};
    return table;
}

const UnitTable& DoseTable() {
    static const UnitTable table{{
        {{{"мкЗв", "uSv"}, {"мЗв", "mSv"}, {"Зв", "Sv"}}},
        {{{"мкР", "uR"}, {" мР", "mR"}, {"  Р", "R"}}},
        {{{"ИМП", "PULSES"}, {"ИМП", "PULSES*E3"}, {"ИМП", "PULSES*E6"}}},
    }};
    return table;
}

const std::string& Pick(const UnitTable& table, int unitSystem, int step) {
    if (unitSystem < 0 || unitSystem > 2 || step < 0 || step > 2) {
        unitSystem = 0;
        step = 0;
    }
    const TextPair& pair = table[unitSystem][step];
    return PickText(pair.russian, pair.english);
}

}  // namespace

const std::string& RateUnitName(int unitSystem, int step) {
    return Pick(RateTable(), unitSystem, step);
}

const std::string& DoseUnitName(int unitSystem, int step) {
    return Pick(DoseTable(), unitSystem, step);
}

const std::string& HistoryRateUnitName() {
    static const TextPair pair{"мкР/час", "uR/h"};
    return PickText(pair.russian, pair.english);
}
