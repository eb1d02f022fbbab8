#include <gtest/gtest.h>

#include "base/language.h"
#include "settings/settings_edits.h"

namespace {

class SettingsEditsTest : public ::testing::Test {
  protected:
    SettingsEditsTest() : values_(DescriptionOf(SettingsModel::K310)) {
        SetUiLanguage(Language::English);
        values_.Set("language", 0);
        values_.ApplyDefaults();
    }
    ~SettingsEditsTest() override { SetUiLanguage(Language::Russian); }
    SettingsValues values_;
};

TEST_F(SettingsEditsTest, AppliesAllAssignmentsOrNone) {
    EXPECT_EQ(ApplyAssignments(values_, {"units=1", "alarm_hour=23", "sound=0"}), "");
    EXPECT_EQ(values_.Code("units"), 1);
    EXPECT_EQ(values_.Code("alarm_hour"), 23);
    EXPECT_EQ(values_.Code("sound"), 0);

    const SettingsValues before = values_;
    // Each refusal names what would be accepted.
    const std::string keys = ApplyAssignments(values_, {"units=2", "lights=1"});
    EXPECT_EQ(keys.rfind("Unknown setting \"lights\"\nSettings: ", 0), 0u) << keys;
    EXPECT_NE(keys.find("alarm_hour"), std::string::npos) << keys;
    const std::string hours = ApplyAssignments(values_, {"units=2", "alarm_hour=24"});
    EXPECT_EQ(hours.rfind("Code out of range for \"alarm_hour\": 24\nCodes: 0 (", 0), 0u) << hours;
    EXPECT_NE(hours.find(", 23 ("), std::string::npos) << hours;
    EXPECT_EQ(ApplyAssignments(values_, {"units=2", "sound=on"}),
              "Code out of range for \"sound\": on\nCodes: 0 (off), 1 (on)");
    EXPECT_EQ(ApplyAssignments(values_, {"units"}).rfind("Unknown setting \"units\"\n", 0), 0u);
    EXPECT_TRUE(DifferingKeys(before, values_).empty());
}

TEST_F(SettingsEditsTest, ShownTextsFollowTheUnitsAndLanguage) {
    const auto at = [this](const char* key) {
        return static_cast<std::size_t>(values_.model->IndexOf(key));
    };
    EXPECT_EQ(ShownText(values_, at("background_threshold")), "1,2 uSv/h");
    values_.Set("units", 1);
    EXPECT_EQ(ShownText(values_, at("background_threshold")), "120 uR/h");
    EXPECT_EQ(ShownText(values_, at("sound")), "on");
    EXPECT_EQ(ShownText(values_, at("display_off")), "3 minutes");
    values_.Set("units", std::nullopt);
    EXPECT_EQ(ShownText(values_, at("units")), "");
    SettingsValues other = values_;
    other.Set("alarm_minute", 30);
    EXPECT_EQ(DifferingKeys(values_, other), (std::vector<std::string>{"alarm_minute"}));
}

}  // namespace
