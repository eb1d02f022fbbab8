#include "settings/settings_file.h"

#include <fstream>
#include <limits>
#include <nlohmann/json.hpp>
#include <set>
#include <vector>

#include "base/language.h"
#include "base/utf8_path.h"
#include "settings/calibration.h"
#include "settings/device_clock.h"

namespace {

using Json = nlohmann::ordered_json;

// Texts from the file are shown escaped and cut short, so that a huge or odd
// name still makes a readable box and a harmless terminal line.
constexpr std::size_t kShownLength = 40;

std::string Clipped(const std::string& text) {
    if (text.size() <= kShownLength) {
        return text;
    }
    std::size_t end = kShownLength;
    // Never cut a UTF-8 character in two.
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) {
        --end;
    }
    return text.substr(0, end) + "...";
}

std::string Shown(const std::string& text) {
    const std::string quoted = Json(text).dump();
    return Clipped(quoted.substr(1, quoted.size() - 2));
}

// The code as a whole number of `int`, or none for anything else: a wider
// integer is never narrowed into another code.
std::optional<int> WholeCode(const Json& code) {
    if (code.is_number_unsigned()) {
        const auto value = code.get<std::uint64_t>();
        return value <= static_cast<std::uint64_t>(std::numeric_limits<int>::max())
                   ? std::optional<int>(static_cast<int>(value))
                   : std::nullopt;
    }
    if (code.is_number_integer()) {
        const auto value = code.get<std::int64_t>();
        return value >= std::numeric_limits<int>::min() && value <= std::numeric_limits<int>::max()
                   ? std::optional<int>(static_cast<int>(value))
                   : std::nullopt;
    }
    return std::nullopt;
}

// Parses the document; the parser itself keeps the last of two equal keys, so
// a key given twice is found here and named in `twice`.
Json ParseDocument(const std::string& text, std::string& twice) {
    std::vector<std::set<std::string>> keys;
    const Json::parser_callback_t callback = [&](int, Json::parse_event_t event, Json& parsed) {
        if (event == Json::parse_event_t::object_start) {
            keys.emplace_back();
        } else if (event == Json::parse_event_t::object_end) {
            keys.pop_back();
        } else if (event == Json::parse_event_t::key && !keys.back().insert(parsed).second &&
                   twice.empty()) {
            twice = parsed.get<std::string>();
        }
        return true;
    };
    return Json::parse(text, callback, false);
}

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
    const SupportedModel& model = *values.model;
    for (const auto& [key, code] : settings.items()) {
        const int index = model.IndexOf(key);
        const std::string shownKey = "\"" + Shown(key) + "\"";
        if (index < 0) {
            check = Refused("Неизвестная настройка " + shownKey, "Unknown setting " + shownKey);
            return;
        }
        const std::string shownCode = Clipped(code.dump());
        if (!code.is_number_integer()) {
            check = Refused("Код настройки " + shownKey + " не целое число: " + shownCode,
                            "The code of " + shownKey + " is not a whole number: " + shownCode);
            return;
        }
        const std::optional<int> whole = WholeCode(code);
        if (!whole || !CodeInRange(model.settings[index], *whole)) {
            check = Refused("Недопустимый код настройки " + shownKey + ": " + shownCode,
                            "Code out of range for " + shownKey + ": " + shownCode);
            return;
        }
        values.codes[index] = *whole;
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

SettingsFileCheck CheckSettingsDocument(const std::string& text, const SupportedModel& model) {
    if (text.size() > kSettingsFileLimit) {
        return Refused("Файл слишком велик для файла настроек",
                       "The file is too large for a settings file");
    }
    std::string twice;
    const Json document = ParseDocument(text, twice);
    if (document.is_discarded() || !document.is_object()) {
        return Refused("Файл не является файлом настроек (ошибка JSON)",
                       "The file is not a settings file (JSON error)");
    }
    if (!twice.empty()) {
        return Refused("Ключ \"" + Shown(twice) + "\" повторяется в файле",
                       "The key \"" + Shown(twice) + "\" appears twice in the file");
    }
    if (!IsText(document, "format") || document["format"] != kSettingsFormatName ||
        !document.contains("version") || !document["version"].is_number_integer()) {
        return Refused("Файл не является файлом настроек", "The file is not a settings file");
    }
    if (document["version"] != kSettingsFormatVersion) {
        return Refused("Неизвестная версия файла настроек", "Unknown settings file version");
    }
    const SupportedModel* fileModel =
        IsText(document, "model") ? FindSupportedModelByTag(document["model"]) : nullptr;
    if (fileModel != &model) {
        const std::string named =
            IsText(document, "model") ? Shown(document["model"].get<std::string>()) : "?";
        return Refused("Файл для другой модели (" + named + "), а не для " + model.tag,
                       "The file is for another model (" + named + "), not the " + model.tag);
    }
    if (!document.contains("settings") || !document["settings"].is_object() ||
        !IsText(document, "calibration")) {
        return Refused("В файле нет настроек или калибровки",
                       "The file lacks its settings or calibration");
    }
    SettingsFileCheck check;
    SettingsValues values(model);
    TakeSettings(document["settings"], values, check);
    if (!check.Ok()) {
        return check;
    }
    std::uint32_t calibration = 0;
    const std::string calibrationText = document["calibration"];
    if (CheckCalibration(calibrationText, calibration) != CalibrationCheck::Valid) {
        return Refused("Недопустимая калибровка в файле [" + Shown(calibrationText) + "]",
                       "Invalid calibration in the file [" + Shown(calibrationText) + "]");
    }
    check.values = values;
    check.calibration = CalibrationText(calibration);
    check.identity.serialNumber =
        IsText(document, "serial_number") ? document["serial_number"].get<std::string>() : "";
    check.identity.date = IsText(document, "date") ? document["date"].get<std::string>() : "";
    return check;
}

SettingsFileCheck LoadSettingsFile(const std::string& path, const SupportedModel& model) {
    std::ifstream file(PathFromUtf8(path), std::ios::binary);
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
