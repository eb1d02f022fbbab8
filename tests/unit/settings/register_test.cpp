#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "protocol/device_models.h"
#include "settings/choice_lists.h"
#include "settings/setting_codes.h"
#include "settings/settings_values.h"
#include "settings/threshold_tables.h"
#include "support/language_guard.h"

namespace {

class InEnglish : public ::testing::Test {
  protected:
    LanguageGuard english_{Language::English};
};

std::vector<std::uint16_t> Parameters(const SupportedModel& model) {
    std::vector<std::uint16_t> ids;
    for (const SettingBinding& binding : model.settings) {
        ids.push_back(binding.parameter);
    }
    return ids;
}

TEST_F(InEnglish, BackgroundTableInEveryUnitSystem) {
    const std::vector<std::string> sievert = ThresholdItems(ThresholdTable::Background, 0);
    const std::vector<std::string> roentgen = ThresholdItems(ThresholdTable::Background, 1);
    const std::vector<std::string> cpm = ThresholdItems(ThresholdTable::Background, 2);
    ASSERT_EQ(sievert.size(), 16u);
    EXPECT_EQ(sievert[0], "0,3 uSv/h");
    EXPECT_EQ(sievert[8], "1,2 uSv/h");
    EXPECT_EQ(sievert[15], "100 uSv/h");
    EXPECT_EQ(roentgen[8], "120 uR/h");
    EXPECT_EQ(roentgen[11], "500 uR/h");
    EXPECT_EQ(roentgen[12], "1 mR/h");
    EXPECT_EQ(roentgen[15], "10 mR/h");
    EXPECT_EQ(cpm[0], "60 CPM");
    EXPECT_EQ(cpm[15], "20000 CPM");
    // One row is one physical threshold: Roentgen is 100 and CPM 200 times Sievert.
    for (int row = 0; row < kBackgroundRows; ++row) {
        std::string sv = ThresholdEntry(ThresholdTable::Background, 0, row);
        std::replace(sv.begin(), sv.end(), ',', '.');
        const double microSievert = std::stod(sv);
        EXPECT_EQ(std::stoi(ThresholdEntry(ThresholdTable::Background, 2, row)),
                  static_cast<int>(microSievert * 200 + 0.5))
            << row;
        const std::string r = ThresholdEntry(ThresholdTable::Background, 1, row);
        const double microRoentgen = r[0] == '-' ? std::stod(r.substr(1)) * 1000 : std::stod(r);
        EXPECT_DOUBLE_EQ(microRoentgen, std::round(microSievert * 100)) << row;
    }
}

TEST_F(InEnglish, DoseTableInEveryUnitSystemAndLanguage) {
    const std::vector<std::string> sievert = ThresholdItems(ThresholdTable::Dose, 0);
    ASSERT_EQ(sievert.size(), 15u);
    EXPECT_EQ(sievert[0], "0,01 mSv");
    EXPECT_EQ(sievert[7], "50,0 mSv");
    EXPECT_EQ(sievert[8], "0,1 Sv");
    EXPECT_EQ(sievert[14], "100 Sv");
    const std::vector<std::string> roentgen = ThresholdItems(ThresholdTable::Dose, 1);
    EXPECT_EQ(roentgen[0], "1,0 mR");
    EXPECT_EQ(roentgen[6], "1,0 R");
    EXPECT_EQ(roentgen[14], "10000 R");
    const std::vector<std::string> pulses = ThresholdItems(ThresholdTable::Dose, 2);
    EXPECT_EQ(pulses[0], "100e3 PULSES");
    EXPECT_EQ(pulses[14], "1e12 PULSES");

    SetUiLanguage(Language::Russian);
    EXPECT_EQ(ThresholdText(ThresholdTable::Dose, 0, 8), "0,1 Зв");
    EXPECT_EQ(ThresholdText(ThresholdTable::Dose, 2, 3), "5e6 ИМП");
    EXPECT_EQ(ThresholdText(ThresholdTable::Background, 0, 8), "1,2 мкЗв/ч");
}

TEST(ThresholdUnitsTest, SettlesTheUnitSystemOfARefill) {
    ThresholdUnits units;
    EXPECT_EQ(units.Settle(-1), 0);  // a fresh page shows Sievert
    EXPECT_EQ(units.Settle(1), 1);
    EXPECT_EQ(units.Settle(-1), 1);  // no selection keeps the last
    EXPECT_EQ(units.Settle(3), 2);   // a code past the list shows the last column
    EXPECT_EQ(units.Last(), 2);
}

TEST_F(InEnglish, ChoiceListsInBothLanguages) {
    const std::vector<std::string> timeOff = ChoiceItems(ChoiceList::TimeOff, 0);
    ASSERT_EQ(timeOff.size(), 61u);
    EXPECT_EQ(timeOff[0], "Always ON");
    EXPECT_EQ(timeOff[1], "1 minutes");
    EXPECT_EQ(timeOff[60], "60 minutes");
    EXPECT_EQ(ChoiceItems(ChoiceList::LanguageRuEnDePl, 0),
              (std::vector<std::string>{"Russian", "English", "Deutsch", "Polish"}));
    EXPECT_EQ(ChoiceItems(ChoiceList::LanguageEnRu, 0),
              (std::vector<std::string>{"English", "Russian"}));
    EXPECT_EQ(ChoiceItems(ChoiceList::Brightness, 0),
              (std::vector<std::string>{"1", "2", "3", "4"}));
    EXPECT_EQ(ChoiceItems(ChoiceList::AlarmHour, 0).back(), "23");
    EXPECT_EQ(ChoiceItems(ChoiceList::AlarmMinute, 0).size(), 60u);

    SetUiLanguage(Language::Russian);
    const std::vector<std::string> russianTimeOff = ChoiceItems(ChoiceList::TimeOff, 0);
    EXPECT_EQ(russianTimeOff[0], "Всегда ВКЛ");
    EXPECT_EQ(russianTimeOff[2], "2 минут");
    EXPECT_EQ(ChoiceItems(ChoiceList::MeasureMethod, 0),
              (std::vector<std::string>{"Усреднение", "Быстрое"}));
    EXPECT_EQ(ChoiceItems(ChoiceList::HistoryMethod, 0),
              (std::vector<std::string>{"По времени", "По изменению"}));
    // Every list has as many texts as codes.
    for (int list = 0; list <= static_cast<int>(ChoiceList::MeasureMethod); ++list) {
        const auto id = static_cast<ChoiceList>(list);
        EXPECT_EQ(static_cast<int>(ChoiceItems(id, 0).size()), ChoiceCount(id)) << list;
    }
}

TEST(SettingsRegisterTest, ModelsReadAndWriteTheirParametersInOrder) {
    EXPECT_EQ(Parameters(*FindSupportedModel(310)),
              (std::vector<std::uint16_t>{6, 9, 7, 8, 3, 14, 13, 15, 16, 17, 18, 19, 20, 21, 22}));
    EXPECT_EQ(Parameters(*FindSupportedModel(520)),
              (std::vector<std::uint16_t>{6, 9, 7, 8, 3, 14, 13, 15, 16, 17, 18, 19, 20, 21}));
    const SupportedModel& k310 = *FindSupportedModel(310);
    const SupportedModel& k520 = *FindSupportedModel(520);
    EXPECT_EQ(k310.settings[k310.IndexOf("alarm_hour")].parameter, 21);
    EXPECT_EQ(k520.settings[k520.IndexOf("measure_method")].parameter, 21);
    EXPECT_EQ(k520.settings[k520.IndexOf("lights")].parameter, 20);
    EXPECT_EQ(k520.IndexOf("alarm_minute"), -1);
    EXPECT_EQ(k310.IndexOf("lights"), -1);
    // Keys and control names are unique within a model.
    for (const SupportedModel* model : {&k310, &k520}) {
        std::set<std::string> keys;
        std::set<std::string> controls;
        for (const SettingBinding& binding : model->settings) {
            EXPECT_TRUE(keys.insert(binding.key).second) << binding.key;
            EXPECT_TRUE(controls.insert(binding.control).second) << binding.control;
        }
    }
}

TEST(SettingsRegisterTest, SoundIsStoredInvertedOnTheK310Only) {
    const SupportedModel& k310 = *FindSupportedModel(310);
    const SupportedModel& k520 = *FindSupportedModel(520);
    const SettingBinding& sound310 = k310.settings[k310.IndexOf("sound")];
    const SettingBinding& sound520 = k520.settings[k520.IndexOf("sound")];
    EXPECT_EQ(CodeOfDeviceValue(sound310, 0), 1);
    EXPECT_EQ(CodeOfDeviceValue(sound310, 5), 0);
    EXPECT_EQ(DeviceValueOfCode(sound310, 1), 0u);
    EXPECT_EQ(DeviceValueOfCode(sound310, 0), 1u);
    EXPECT_EQ(CodeOfDeviceValue(sound520, 0), 0);
    EXPECT_EQ(DeviceValueOfCode(sound520, 1), 1u);
    // Any non-zero flag reads as on and goes back as 1.
    const SettingBinding& clicks = k520.settings[k520.IndexOf("button_clicks")];
    EXPECT_EQ(DeviceValueOfCode(clicks, *CodeOfDeviceValue(clicks, 5)), 1u);
}

TEST(SettingsRegisterTest, CodesPastTheListAreUndefined) {
    const SupportedModel& k520 = *FindSupportedModel(520);
    const SettingBinding& units = k520.settings[k520.IndexOf("units")];
    EXPECT_EQ(CodeOfDeviceValue(units, 2), 2);
    EXPECT_FALSE(CodeOfDeviceValue(units, 3));
    EXPECT_FALSE(CodeOfDeviceValue(k520.settings[k520.IndexOf("background_threshold")], 16));
    EXPECT_FALSE(CodeOfDeviceValue(k520.settings[k520.IndexOf("language")], 2));
    EXPECT_FALSE(CodeOfDeviceValue(k520.settings[k520.IndexOf("measure_method")], 0xFFFFFFFFu));
    EXPECT_TRUE(CodeInRange(k520.settings[k520.IndexOf("display_off")], 60));
    EXPECT_FALSE(CodeInRange(k520.settings[k520.IndexOf("display_off")], 61));
    EXPECT_FALSE(CodeInRange(k520.settings[k520.IndexOf("sound")], 2));
}

TEST(SettingsValuesTest, DefaultsLeaveTheLanguageUndefined) {
    SettingsValues values(*FindSupportedModel(310));
    EXPECT_EQ(values.UndefinedKeys().size(), 10u);  // every list, no flag
    values.ApplyDefaults();
    EXPECT_EQ(values.UndefinedKeys(), (std::vector<std::string>{"language"}));
    EXPECT_EQ(values.Code("background_threshold"), 8);
    EXPECT_EQ(values.Code("dose_threshold"), 14);
    EXPECT_EQ(values.Code("display_off"), 3);
    EXPECT_EQ(values.Code("device_off"), 10);
    EXPECT_EQ(values.Code("sound"), 1);
    EXPECT_EQ(values.Code("alarm"), 0);

    SettingsValues k520(*FindSupportedModel(520));
    k520.Set("language", 1);
    k520.ApplyDefaults();
    EXPECT_FALSE(k520.AnyUndefined());
    EXPECT_EQ(k520.Code("language"), 1);
    EXPECT_EQ(k520.Code("lights"), 1);
    EXPECT_EQ(k520.Code("measure_method"), 0);
}

}  // namespace
