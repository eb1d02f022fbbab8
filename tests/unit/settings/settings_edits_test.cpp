#include <gtest/gtest.h>

#include "protocol/device_models.h"
#include "settings/device_clock.h"
#include "settings/settings_edits.h"
#include "support/language_guard.h"
#include "support/local_time.h"

namespace {

class SettingsEditsTest : public ::testing::Test {
  protected:
    SettingsEditsTest() : values_(*FindSupportedModel(310)) {
        values_.Set("language", 0);
        values_.ApplyDefaults();
    }
    SettingsValues values_;
    LanguageGuard english_{Language::English};
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

TEST(DeviceClockTest, RecordOfTheLocalTimeWithTheIsoWeekday) {
    const auto sunday = ClockRecordOf(LocalTime(2026, 12, 6, 23, 59, 58));
    ASSERT_TRUE(sunday);
    EXPECT_EQ(sunday->ToBytes(), (std::array<std::uint8_t, 7>{58, 59, 23, 6, 12, 26, 7}));
    const auto monday = ClockRecordOf(LocalTime(2000, 1, 3, 0, 0, 0));
    ASSERT_TRUE(monday);
    EXPECT_EQ(monday->ToBytes(), (std::array<std::uint8_t, 7>{0, 0, 0, 3, 1, 0, 1}));
    EXPECT_EQ(ClockRecordOf(LocalTime(2099, 12, 31, 12, 0, 0))->year, 99);
}

TEST(DeviceClockTest, RefusesYearsTheDeviceCalendarCannotHold) {
    EXPECT_FALSE(ClockRecordOf(LocalTime(1999, 12, 31, 23, 59, 59)));
    EXPECT_FALSE(ClockRecordOf(LocalTime(2100, 1, 1, 0, 0, 0)));
}

}  // namespace
