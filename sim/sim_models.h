#pragma once

#include <cstdint>
#include <span>

#include "sim/sim_options.h"

// The simulator's own account of each model it can be, written apart from the
// program's model table: a fact that both state is checked whenever they talk.

// A setting as the device leaves the factory, with the range it accepts.
struct SettingSpec {
    std::uint16_t id;
    std::uint32_t value;
    std::uint32_t minimum;
    std::uint32_t maximum;
};

struct SimModelFacts {
    SimModel model;
    const char* name;         // "K310", as dravo-sim prints it
    const char* optionValue;  // "k310", as --model takes it
    std::uint16_t boardCode;
    // Unless the options say otherwise:
    std::uint16_t mainVersion;
    int hardwareRevision;
    int variant;
    int cpuType;
    // The board type index and board number of the INF1 block.
    std::uint8_t boardTypeIndex;
    std::uint8_t boardNumber;
    int sensors;
    // Its own settings, besides those both models have (CommonSettings).
    std::span<const SettingSpec> settings;
};

const SimModelFacts& FactsOf(SimModel model);
std::span<const SimModelFacts> AllSimModels();
std::span<const SettingSpec> CommonSettings();
