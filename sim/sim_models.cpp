#include "sim/sim_models.h"

namespace {

constexpr SettingSpec kCommon[] = {
    {4, 100, 10, 999},  // calibration K x 100; overridden per model below
    {7, 8, 0, 15},      // background threshold row
    {8, 14, 0, 14},     // dose threshold row
    {9, 0, 0, 2},       // units
    {13, 1, 0, 1},      // sensor clicks
    {14, 1, 0, 1},      // button clicks
    {15, 1, 0, 1},      // threshold sound
    {16, 1, 0, 3},      // brightness
    {17, 3, 0, 60},     // time to display off
    {18, 10, 0, 60},    // time to device off
    {19, 1, 0, 1},      // history method
};

constexpr SettingSpec kK310[] = {
    {3, 0, 0, 1},                     // sound, stored inverted: 0 = on
    {4, 127, 10, 999}, {6, 0, 0, 3},  // language: Russian, English, Deutsch, Polish
    {20, 0, 0, 1},                    // alarm clock on
    {21, 0, 0, 23},                   // alarm hour
    {22, 0, 0, 59},                   // alarm minute
};

constexpr SettingSpec kK520[] = {
    {3, 1, 0, 1},   // sound on
    {6, 0, 0, 1},   // language: English, Russian
    {20, 1, 0, 1},  // lights on
    {21, 0, 0, 1},  // measuring method
};

constexpr SimModelFacts kModels[] = {
    {.model = SimModel::K310,
     .name = "K310",
     .optionValue = "k310",
     .boardCode = 310,
     .mainVersion = 0x0C06,
     .hardwareRevision = 41,
     .variant = 0,
     .cpuType = 9,
     .boardTypeIndex = 6,
     .boardNumber = 3,
     .sensors = 2,
     .settings = kK310},
    {.model = SimModel::K520,
     .name = "K520",
     .optionValue = "k520",
     .boardCode = 520,
     .mainVersion = 0x0C03,
     .hardwareRevision = 2,
     .variant = 1,
     .cpuType = 6,
     .boardTypeIndex = 4,
     .boardNumber = 1,
     .sensors = 1,
     .settings = kK520},
};

}  // namespace

const SimModelFacts& FactsOf(SimModel model) {
    for (const SimModelFacts& facts : kModels) {
        if (facts.model == model) {
            return facts;
        }
    }
    return kModels[0];
}

std::span<const SimModelFacts> AllSimModels() {
    return kModels;
}

std::span<const SettingSpec> CommonSettings() {
    return kCommon;
}
