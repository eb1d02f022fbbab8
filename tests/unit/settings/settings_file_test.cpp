#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <nlohmann/json.hpp>
#include <string>

#include "base/language.h"
#include "settings/settings_file.h"
#include "support/temp_dir.h"

namespace {

class SettingsFileTest : public ::testing::Test {
  protected:
    SettingsFileTest() : values_(DescriptionOf(SettingsModel::K520)) {
        SetUiLanguage(Language::English);
        values_.Set("language", 1);
        values_.ApplyDefaults();
        values_.Set("units", 2);
    }
    ~SettingsFileTest() override { SetUiLanguage(Language::Russian); }

    std::string Document() const {
        return SettingsDocument(values_, "1,05", {"123-45678", "2026-12-09 03:30:00"});
    }
    std::string Edited(const std::function<void(nlohmann::json&)>& edit) const {
        nlohmann::json document = nlohmann::json::parse(Document());
        edit(document);
        return document.dump();
    }
    std::string ErrorOf(const std::string& text) const {
        return CheckSettingsDocument(text, SettingsModel::K520).error;
    }

    SettingsValues values_;
};

TEST_F(SettingsFileTest, ADocumentComesBackAsItWasSaved) {
    const nlohmann::json document = nlohmann::json::parse(Document());
    EXPECT_EQ(document["format"], "dravo-settings");
    EXPECT_EQ(document["version"], 1);
    EXPECT_EQ(document["model"], "K520");
    EXPECT_EQ(document["settings"]["units"], 2);
    EXPECT_EQ(document["settings"]["sound"], 1);
    EXPECT_EQ(document["settings"].size(), 14u);

    const SettingsFileCheck check = CheckSettingsDocument(Document(), SettingsModel::K520);
    ASSERT_TRUE(check.Ok()) << check.error;
    EXPECT_EQ(check.values->codes, values_.codes);
    EXPECT_EQ(check.calibration, "1,05");
    EXPECT_EQ(check.identity.serialNumber, "123-45678");
}

TEST_F(SettingsFileTest, RefusesWhatItCannotTakeWholeAndNamesTheFault) {
    EXPECT_EQ(ErrorOf(""), "The file is not a settings file (JSON error)");
    EXPECT_EQ(ErrorOf("not json"), "The file is not a settings file (JSON error)");
    EXPECT_EQ(ErrorOf(Document().substr(0, 100)), "The file is not a settings file (JSON error)");
    EXPECT_EQ(ErrorOf("[1, 2]"), "The file is not a settings file (JSON error)");
    EXPECT_EQ(ErrorOf(std::string(kSettingsFileLimit + 1, ' ')),
              "The file is too large for a settings file");
    EXPECT_EQ(ErrorOf(Edited([](auto& d) { d["format"] = "other"; })),
              "The file is not a settings file");
    EXPECT_EQ(ErrorOf(Edited([](auto& d) { d["version"] = 2; })), "Unknown settings file version");
    EXPECT_EQ(CheckSettingsDocument(Document(), SettingsModel::K310).error,
              "The file is for another model (K520), not the K310");
    EXPECT_EQ(ErrorOf(Edited([](auto& d) { d["settings"]["alarm"] = 1; })),
              "Unknown setting \"alarm\"");
    EXPECT_EQ(ErrorOf(Edited([](auto& d) { d["settings"]["units"] = 3; })),
              "Code out of range for \"units\": 3");
    EXPECT_EQ(ErrorOf(Edited([](auto& d) { d["settings"]["sound"] = "on"; })),
              "Code out of range for \"sound\": \"on\"");
    EXPECT_EQ(ErrorOf(Edited([](auto& d) { d["settings"].erase("lights"); })),
              "Setting \"lights\" missing from the file");
    EXPECT_EQ(ErrorOf(Edited([](auto& d) { d["calibration"] = "10"; })),
              "Invalid calibration in the file [10]");
    EXPECT_EQ(ErrorOf(Edited([](auto& d) { d.erase("settings"); })),
              "The file lacks its settings or calibration");
}

TEST_F(SettingsFileTest, LoadsFromDiskAndRefusesEmptyAndHugeFiles) {
    TempDir folder;
    const std::string good = folder.Path() + "/good.json";
    std::ofstream(good) << Document();
    EXPECT_TRUE(LoadSettingsFile(good, SettingsModel::K520).Ok());
    const std::string empty = folder.Path() + "/empty.json";
    std::ofstream{empty};
    EXPECT_EQ(LoadSettingsFile(empty, SettingsModel::K520).error, "The file is empty");
    const std::string huge = folder.Path() + "/huge.json";
    {
        std::ofstream file(huge);
        const std::string block(1 << 20, ' ');
        for (int i = 0; i < 100; ++i) {
            file << block;
        }
    }
    EXPECT_EQ(LoadSettingsFile(huge, SettingsModel::K520).error,
              "The file is too large for a settings file");
    EXPECT_FALSE(LoadSettingsFile(folder.Path() + "/missing.json", SettingsModel::K520).Ok());
}

}  // namespace
