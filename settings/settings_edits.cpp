#include "settings/settings_edits.h"

#include <charconv>
#include <optional>
#include <utility>

#include "base/language.h"
#include "settings/threshold_tables.h"

namespace {

struct Assignment {
    int index;
    int code;
};

std::optional<int> ParseCode(const std::string& text) {
    int code = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), code);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) {
        return std::nullopt;
    }
    return code;
}

std::string KeyList(const ModelDescription& model) {
    std::string list;
    for (const SettingBinding& binding : model.settings) {
        list += (list.empty() ? "" : ", ") + std::string(binding.key);
    }
    return list;
}

// "0 (off), 1 (on)": every code setting `index` takes, with the text it shows.
std::string CodeList(const SettingsValues& values, int index) {
    SettingsValues probe = values;
    std::string list;
    for (int code = 0; CodeInRange(values.model->settings[index], code); ++code) {
        probe.codes[index] = code;
        list += (list.empty() ? "" : ", ") + std::to_string(code) + " (" +
                ShownText(probe, static_cast<std::size_t>(index)) + ")";
    }
    return list;
}

}  // namespace

std::string ApplyAssignments(SettingsValues& values, const std::vector<std::string>& assignments) {
    std::vector<Assignment> checked;
    for (const std::string& text : assignments) {
        const std::size_t equals = text.find('=');
        const std::string key = text.substr(0, equals);
        const int index = values.model->IndexOf(key);
        if (equals == std::string::npos || index < 0) {
            return PickText("Неизвестная настройка \"", "Unknown setting \"") + key + "\"\n" +
                   PickText("Настройки: ", "Settings: ") + KeyList(*values.model);
        }
        const auto code = ParseCode(text.substr(equals + 1));
        if (!code || !CodeInRange(values.model->settings[index], *code)) {
            return PickText("Недопустимый код настройки \"", "Code out of range for \"") + key +
                   "\": " + text.substr(equals + 1) + "\n" + PickText("Коды: ", "Codes: ") +
                   CodeList(values, index);
        }
        checked.push_back({index, *code});
    }
    for (const Assignment& assignment : checked) {
        values.codes[assignment.index] = assignment.code;
    }
    return {};
}

std::string ShownText(const SettingsValues& values, std::size_t index) {
    const SettingBinding& binding = values.model->settings[index];
    const std::optional<int>& code = values.codes[index];
    if (!code) {
        return {};
    }
    if (binding.kind == SettingKind::Flag) {
        return *code != 0 ? PickText("вкл", "on") : PickText("выкл", "off");
    }
    ThresholdUnits units;
    const std::optional<int> unitCode = values.Code("units");
    return ChoiceItems(binding.list, units.Settle(unitCode.value_or(-1))).at(*code);
}

std::vector<std::string> DifferingKeys(const SettingsValues& a, const SettingsValues& b) {
    std::vector<std::string> keys;
    for (std::size_t i = 0; i < a.codes.size() && i < b.codes.size(); ++i) {
        if (a.codes[i] != b.codes[i]) {
            keys.emplace_back(a.model->settings[i].key);
        }
    }
    return keys;
}
