#include "settings/settings_file.h"

#include <fstream>
#include <nlohmann/json.hpp>

#include "base/language.h"
#include "settings/calibration.h"
#include "settings/device_clock.h"

namespace {

using Json = nlohmann::ordered_json;

SettingsFileCheck Refused(const std::string& russian, const std::string& english) {
    SettingsFileCheck check;
    check.error = PickText(russian, english);
    return check;
}

bool IsText(const Json& document, const char* key) {
    return document.contains(key) && document[key].is_string();
}

// The settings object checked key by key; `check.error` tells the first fault.
void TakeSettings(const Json& settings, SettingsValues& values, SettingsFileCheck& check) {
    const ModelDescription& model = *values.model;
    for (const auto& [key, code] : settings.items()) {
        const int index = model.IndexOf(key);
        if (index < 0) {
            check =
                Refused("Неизвестная настройка \"" + key + "\"", "Unknown setting \"" + key + "\"");
            return;
        }
        if (!code.is_number_integer() || !CodeInRange(model.settings[index], code.get<int>())) {
            check = Refused("Недопустимый код настройки \"" + key + "\": " + code.dump(),
                            "Code out of range for \"" + key + "\": " + code.dump());
            return;
        }
        values.codes[index] = code.get<int>();
    }
    // Flags have a code from the start, so presence is asked of the file itself.
    for (const SettingBinding& binding : model.settings) {
        if (!settings.contains(binding.key)) {
            const std::string key = binding.key;
            check = Refused("В файле нет настройки \"" + key + "\"",
                            "Setting \"" + key + "\" missing from the file");
            return;
        }
    }
}

}  // namespace

std::string SettingsDocument(const SettingsValues& values, const std::string& calibration,
                             const SettingsFileIdentity& identity) {
    Json settings = Json::object();
    for (std::size_t i = 0; i < values.codes.size(); ++i) {
        settings[values.model->settings[i].key] = values.codes[i].value_or(-1);
    }
    const Json document{{"format", kSettingsFormatName}, {"version", kSettingsFormatVersion},
                        {"model", values.model->tag},    {"serial_number", identity.serialNumber},
                        {"date", identity.date},         {"settings", settings},
                        {"calibration", calibration}};
    return document.dump(2) + "\n";
}

SettingsFileCheck CheckSettingsDocument(const std::string& text, SettingsModel model) {
    if (text.size() > kSettingsFileLimit) {
        return Refused("Файл слишком велик для файла настроек",
                       "The file is too large for a settings file");
    }
    const Json document = Json::parse(text, nullptr, false);
    if (document.is_discarded() || !document.is_object()) {
        return Refused("Файл не является файлом настроек (ошибка JSON)",
                       "The file is not a settings file (JSON error)");
    }
    if (!IsText(document, "format") || document["format"] != kSettingsFormatName ||
        !document.contains("version") || !document["version"].is_number_integer()) {
        return Refused("Файл не является файлом настроек", "The file is not a settings file");
    }
    if (document["version"] != kSettingsFormatVersion) {
        return Refused("Неизвестная версия файла настроек", "Unknown settings file version");
    }
    const ModelDescription& description = DescriptionOf(model);
    const auto fileModel =
        IsText(document, "model") ? ModelFromTag(document["model"]) : std::nullopt;
    if (fileModel != model) {
        const std::string named =
            IsText(document, "model") ? document["model"].get<std::string>() : "?";
        return Refused("Файл для другой модели (" + named + "), а не для " + description.tag,
                       "The file is for another model (" + named + "), not the " + description.tag);
    }
    if (!document.contains("settings") || !document["settings"].is_object() ||
        !IsText(document, "calibration")) {
        return Refused("В файле нет настроек или калибровки",
                       "The file lacks its settings or calibration");
    }
    SettingsFileCheck check;
    SettingsValues values(description);
    TakeSettings(document["settings"], values, check);
    if (!check.Ok()) {
        return check;
    }
    std::uint32_t calibration = 0;
    const std::string calibrationText = document["calibration"];
    if (CheckCalibration(calibrationText, calibration) != CalibrationCheck::Valid) {
        return Refused("Недопустимая калибровка в файле [" + calibrationText + "]",
                       "Invalid calibration in the file [" + calibrationText + "]");
    }
    check.values = values;
    check.calibration = CalibrationText(calibration);
    check.identity.serialNumber =
        IsText(document, "serial_number") ? document["serial_number"].get<std::string>() : "";
    check.identity.date = IsText(document, "date") ? document["date"].get<std::string>() : "";
    return check;
}

SettingsFileCheck LoadSettingsFile(const std::string& path, SettingsModel model) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return Refused("Файл не открывается: " + path, "Cannot open the file: " + path);
    }
    std::string text(kSettingsFileLimit + 1, '\0');
    file.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(file.gcount()));
    if (text.empty()) {
        return Refused("Файл пуст", "The file is empty");
    }
    return CheckSettingsDocument(text, model);
}

std::string SettingsFileDate() {
    const std::tm local = PcLocalTime();
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}
