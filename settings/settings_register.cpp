#include "settings/settings_register.h"

#include <algorithm>
#include <cctype>

#include "protocol/device_info_models.h"

namespace {

constexpr auto List = SettingKind::List;
constexpr auto Flag = SettingKind::Flag;
constexpr auto Lists = SettingPlace::ListColumn;
constexpr auto Sound = SettingPlace::SoundGroup;
constexpr auto Alarm = SettingPlace::AlarmGroup;
constexpr auto Right = SettingPlace::RightColumn;
constexpr auto NoList = ChoiceList::Units;  // unused by flags

// Both models share these, in the read and write order, after the language.
std::vector<SettingBinding> CommonSettings(bool soundInverted) {
    return {
        {"units", 9, List, ChoiceList::Units, false, Lists, "Units", "Единицы измерения",
         "Units of Measurement", 0},
        {"background_threshold", 7, List, ChoiceList::Background, false, Lists, "Fon_Level",
         "Порог радиационного фона", "Threshold of Background", 8},
        {"dose_threshold", 8, List, ChoiceList::Dose, false, Lists, "Dose_Level",
         "Порог накопленной дозы", "Threshold of Radiation Dose", 14},
        {"sound", 3, Flag, NoList, soundInverted, Sound, "Sound_EN", "Звук включен", "Sound ON", 1},
        {"button_clicks", 14, Flag, NoList, false, Sound, "Sound_BTN", "Щелчки кнопок",
         "Button Click", 1},
        {"sensor_clicks", 13, Flag, NoList, false, Sound, "Sound_Sensor", "Щелчки датчика",
         "Sensod", 1},
        {"threshold_sound", 15, Flag, NoList, false, Sound, "Sound_Threshold",
         "Превышение порога фона", "Background Threshold", 1},
        {"brightness", 16, List, ChoiceList::Brightness, false, Lists, "Screen_Bright",
         "Яркость экрана", "Display Brightness", 1},
        {"display_off", 17, List, ChoiceList::TimeOff, false, Lists, "Screen_TOff",
         "Время до отключения экрана", "Time to Display OFF", 3},
        {"device_off", 18, List, ChoiceList::TimeOff, false, Lists, "Power_TOff",
         "Время до выключения", "Time to Device OFF", 10},
        {"history_method", 19, List, ChoiceList::HistoryMethod, false, Lists, "History_M",
         "Метод сохранения истории", "History Saving Method", 1},
    };
}

SettingBinding LanguageSetting(ChoiceList list) {
    return {
        "language",           6, List, list, false, Lists, "Language", "Язык интерфейса прибора",
        "Language of Device", -1};
}

ModelDescription MakeK310() {
    ModelDescription description{
        SettingsModel::K310, "K310", {LanguageSetting(ChoiceList::LanguageK310)}, "1,27"};
    for (const SettingBinding& binding : CommonSettings(true)) {
        description.settings.push_back(binding);
    }
    description.settings.push_back(
        {"alarm", 20, Flag, NoList, false, Alarm, "Alarm_En", "Будильник включен", "Alarm ON", 0});
    description.settings.push_back({"alarm_hour", 21, List, ChoiceList::AlarmHour, false, Alarm,
                                    "Alarm_H", "Часов", "Hour", 0});
    description.settings.push_back({"alarm_minute", 22, List, ChoiceList::AlarmMinute, false, Alarm,
                                    "Alarm_M", "Минут", "Minutes", 0});
    return description;
}

ModelDescription MakeK520() {
    ModelDescription description{
        SettingsModel::K520, "K520", {LanguageSetting(ChoiceList::LanguageK520)}, "1,00"};
    for (const SettingBinding& binding : CommonSettings(false)) {
        description.settings.push_back(binding);
    }
    description.settings.push_back(
        {"lights", 20, Flag, NoList, false, Right, "Led_Lights", "Подсветка", "Lights", 1});
    description.settings.push_back({"measure_method", 21, List, ChoiceList::MeasureMethod, false,
                                    Right, "Measure_Method", "Метод измерения", "Measure Method",
                                    0});
    return description;
}

}  // namespace

int ModelDescription::IndexOf(const std::string& key) const {
    const auto found =
        std::find_if(settings.begin(), settings.end(),
                     [&key](const SettingBinding& binding) { return key == binding.key; });
    return found == settings.end() ? -1 : static_cast<int>(found - settings.begin());
}

const ModelDescription& DescriptionOf(SettingsModel model) {
    static const ModelDescription k310 = MakeK310();
    static const ModelDescription k520 = MakeK520();
    return model == SettingsModel::K310 ? k310 : k520;
}

std::optional<SettingsModel> ModelFromTag(const std::string& tag) {
    std::string upper = tag;
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    if (upper == "K310") {
        return SettingsModel::K310;
    }
    if (upper == "K520") {
        return SettingsModel::K520;
    }
    return std::nullopt;
}

std::optional<SettingsModel> ModelOfBoard(std::uint16_t boardCode) {
    if (boardCode == kBoardK310) {
        return SettingsModel::K310;
    }
    if (boardCode == kBoardK520) {
        return SettingsModel::K520;
    }
    return std::nullopt;
}

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
