#include "settings/setting_codes.h"

std::optional<int> CodeOfDeviceValue(const SettingBinding& binding, std::uint32_t value) {
    if (binding.kind == SettingKind::Flag) {
        return ((value != 0) != binding.inverted) ? 1 : 0;
    }
    if (value >= static_cast<std::uint32_t>(ChoiceCount(binding.list))) {
        return std::nullopt;
    }
    return static_cast<int>(value);
}

std::uint32_t DeviceValueOfCode(const SettingBinding& binding, int code) {
    if (binding.kind == SettingKind::Flag) {
        return ((code != 0) != binding.inverted) ? 1 : 0;
    }
    return static_cast<std::uint32_t>(code);
}

bool CodeInRange(const SettingBinding& binding, int code) {
    const int count = binding.kind == SettingKind::Flag ? 2 : ChoiceCount(binding.list);
    return code >= 0 && code < count;
}
