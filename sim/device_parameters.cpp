#include "sim/device_parameters.h"

namespace {

struct SettingSpec {
    std::uint16_t id;
    std::uint32_t value;  // as the device leaves the factory
    std::uint32_t minimum;
    std::uint32_t maximum;
};

// Shared by both models.
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

}  // namespace

DeviceParameters::DeviceParameters(SimModel model) {
    auto add = [this](const SettingSpec& setting) {
        settings_[setting.id] = {setting.value, setting.minimum, setting.maximum};
    };
    for (const auto& setting : kCommon) {
        add(setting);
    }
    if (model == SimModel::K310) {
        for (const auto& setting : kK310) {
            add(setting);
        }
    } else {
        for (const auto& setting : kK520) {
            add(setting);
        }
    }
}

std::optional<std::uint32_t> DeviceParameters::Get(std::uint16_t id) const {
    const auto found = settings_.find(id);
    if (found == settings_.end()) {
        return std::nullopt;
    }
    return found->second.value;
}

std::optional<std::uint32_t> DeviceParameters::Write(std::uint16_t id, std::uint32_t value) {
    const auto found = settings_.find(id);
    if (found == settings_.end()) {
        return std::nullopt;
    }
    Setting& setting = found->second;
    if (!setting.kept && value >= setting.minimum && value <= setting.maximum) {
        setting.value = value;
    }
    return setting.value;
}

void DeviceParameters::Force(std::uint16_t id, std::uint32_t value) {
    auto found = settings_.find(id);
    if (found == settings_.end()) {
        settings_[id] = {value, 0, 0xFFFFFFFFu};
    } else {
        found->second.value = value;
    }
}

void DeviceParameters::Keep(std::uint16_t id) {
    const auto found = settings_.find(id);
    if (found != settings_.end()) {
        found->second.kept = true;
    }
}
