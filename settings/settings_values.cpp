#include "settings/settings_values.h"

#include "base/language.h"

SettingsValues::SettingsValues(const SupportedModel& description)
    : model(&description), codes(description.settings.size()) {
    for (std::size_t i = 0; i < codes.size(); ++i) {
        if (description.settings[i].kind == SettingKind::Flag) {
            codes[i] = 0;
        }
    }
}

std::optional<int> SettingsValues::Code(const std::string& key) const {
    const int index = model->IndexOf(key);
    return index < 0 ? std::nullopt : codes[index];
}

void SettingsValues::Set(const std::string& key, std::optional<int> code) {
    const int index = model->IndexOf(key);
    if (index >= 0) {
        codes[index] = code;
    }
}

std::vector<std::string> SettingsValues::UndefinedKeys() const {
    std::vector<std::string> keys;
    for (std::size_t i = 0; i < codes.size(); ++i) {
        if (!codes[i]) {
            keys.emplace_back(model->settings[i].key);
        }
    }
    return keys;
}

void SettingsValues::ApplyDefaults() {
    for (std::size_t i = 0; i < codes.size(); ++i) {
        const int code = model->settings[i].defaultCode;
        if (code >= 0) {
            codes[i] = code;
        }
    }
}

std::string UndefinedSettingsMessage() {
    return PickText("Некоторые настройки не определены\n\rСохранение невозможно",
                    "Some Settings undefined\n\rSaving unavaliable");
}
