#include "sim/device_parameters.h"

#include "sim/sim_models.h"

DeviceParameters::DeviceParameters(SimModel model) {
    auto add = [this](const SettingSpec& setting) {
        settings_[setting.id] = {setting.value, setting.minimum, setting.maximum};
    };
    for (const auto& setting : CommonSettings()) {
        add(setting);
    }
    for (const auto& setting : FactsOf(model).settings) {
        add(setting);
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
