#include "protocol/built_in_models.h"

#include <cstring>
#include <stdexcept>
#include <string>

#include "protocol/embedded_images.h"

namespace {

constexpr auto List = SettingKind::List;
constexpr auto Flag = SettingKind::Flag;
constexpr auto Lists = SettingPlace::ListColumn;
constexpr auto Sound = SettingPlace::SoundGroup;
constexpr auto Alarm = SettingPlace::AlarmGroup;
constexpr auto Right = SettingPlace::RightColumn;
constexpr auto NoList = ChoiceList::Units;  // unused by flags

// The build embeds every image it checked; a missing one is a build fault.
ImageBytes Embedded(const char* file) {
    for (const EmbeddedImage& image : EmbeddedImages()) {
        if (std::strcmp(image.file, file) == 0) {
            return ImageBytes(image.data, image.size);
        }
    }
    throw std::logic_error(std::string("no embedded image ") + file);
}

SettingBinding LanguageSetting(ChoiceList list) {
    return {
        "language",           6, List, list, false, Lists, "Language", "Язык интерфейса прибора",
        "Language of Device", -1};
}

// Settings both models have, in the read and write order, after the language
// and before the model's own.
std::vector<SettingBinding> Settings(ChoiceList language, bool soundInverted,
                                     std::vector<SettingBinding> own) {
    std::vector<SettingBinding> settings{
        LanguageSetting(language),
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
    settings.insert(settings.end(), own.begin(), own.end());
    return settings;
}

SupportedModel K310() {
    return {
        .boardCode = 310,
        .tag = "K310",
        .name = "Halvane RDK-310",
        .namedVariant = -1,
        .variantName = nullptr,
        .minRevision = 41,
        .maxRevision = 42,
        .requiredVariant = -1,
        .minCpuType = 9,
        .maxCpuType = 9,
        .minMainVersion = 0x0C06,
        .carriedMainVersion = 0x0C06,
        .announcedPrefix = "1.20.",
        .sensors = 2,
        .clock = true,
        .screen = ScreenLayout::Narrow,
        .flashChunk = 128,
        .externalImage = Embedded("efl_310.bin"),
        .cpuImages = {{41, Embedded("cpu_310_41.bin")}, {42, Embedded("cpu_310_42.bin")}},
        .settings = Settings(ChoiceList::LanguageRuEnDePl, true,
                             {{"alarm", 20, Flag, NoList, false, Alarm, "Alarm_En",
                               "Будильник включен", "Alarm ON", 0},
                              {"alarm_hour", 21, List, ChoiceList::AlarmHour, false, Alarm,
                               "Alarm_H", "Часов", "Hour", 0},
                              {"alarm_minute", 22, List, ChoiceList::AlarmMinute, false, Alarm,
                               "Alarm_M", "Минут", "Minutes", 0}}),
        .defaultCalibration = "1,27",
        .pageNumber = 2,
    };
}

SupportedModel K520() {
    const ImageBytes cpu = Embedded("cpu_520.bin");
    return {
        .boardCode = 520,
        .tag = "K520",
        .name = "RDK-520",
        .namedVariant = 1,
        .variantName = "DRAVO 07X ECO RDK-520",
        .minRevision = 2,
        .maxRevision = 3,
        .requiredVariant = 1,
        .minCpuType = 4,
        .maxCpuType = 8,
        .minMainVersion = 0x0C03,
        .carriedMainVersion = 0x0C03,
        .announcedPrefix = "",
        .sensors = 1,
        .clock = true,
        .screen = ScreenLayout::Wide,
        .flashChunk = 32,
        .externalImage = Embedded("efl_520.bin"),
        .cpuImages = {{2, cpu}, {3, cpu}},
        .settings = Settings(
            ChoiceList::LanguageEnRu, false,
            {{"lights", 20, Flag, NoList, false, Right, "Led_Lights", "Подсветка", "Lights", 1},
             {"measure_method", 21, List, ChoiceList::MeasureMethod, false, Right, "Measure_Method",
              "Метод измерения", "Measure Method", 0}}),
        .defaultCalibration = "1,00",
        .pageNumber = 3,
    };
}

}  // namespace

std::deque<SupportedModel> BuiltInModels() {
    return {K310(), K520()};
}
