#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <nlohmann/json.hpp>
#include <string>

#include "protocol/device_models.h"
#include "settings/settings_file.h"
#include "support/language_guard.h"
#include "support/temp_dir.h"

namespace {

class SettingsFileTest : public ::testing::Test {
  protected:
    SettingsFileTest() : values_(*FindSupportedModel(520)) {
        values_.Set("language", 1);
        values_.ApplyDefaults();
        values_.Set("units", 2);
    }

    std::string Document() const {
        return SettingsDocument(values_, "1,05", {"123-45678", "2026-12-09 03:30:00"});
    }
    std::string Edited(const std::function<void(nlohmann::json&)>& edit) const {
        nlohmann::json document = nlohmann::json::parse(Document());
        edit(document);
        return document.dump();
    }
    std::string ErrorOf(const std::string& text) const {
        return CheckSettingsDocument(text, *FindSupportedModel(520)).error;
    }

    SettingsValues values_;
    LanguageGuard english_{Language::English};
};

TEST_F(SettingsFileTest, ADocumentComesBackAsItWasSaved) {
    const nlohmann::json document = nlohmann::json::parse(Document());
    EXPECT_EQ(document["format"], "dravo-settings");
    EXPECT_EQ(document["version"], 1);
    EXPECT_EQ(document["model"], "K520");
    EXPECT_EQ(document["settings"]["units"], 2);
    EXPECT_EQ(document["settings"]["sound"], 1);
    EXPECT_EQ(document["settings"].size(), 14u);

    const SettingsFileCheck check = CheckSettingsDocument(Document(), *FindSupportedModel(520));
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
    EXPECT_EQ(CheckSettingsDocument(Document(), *FindSupportedModel(310)).error,
              "The file is for another model (K520), not the K310");
    EXPECT_EQ(ErrorOf(Edited([](auto& d) { d["settings"]["alarm"] = 1; })),
              "Unknown setting \"alarm\"");
    EXPECT_EQ(ErrorOf(Edited([](auto& d) { d["settings"]["units"] = 3; })),
              "Code out of range for \"units\": 3");
    EXPECT_EQ(ErrorOf(Edited([](auto& d) { d["settings"].erase("lights"); })),
              "Setting \"lights\" missing from the file");
    EXPECT_EQ(ErrorOf(Edited([](auto& d) { d["calibration"] = "10"; })),
              "Invalid calibration in the file [10]");
    EXPECT_EQ(ErrorOf(Edited([](auto& d) { d.erase("settings"); })),
              "The file lacks its settings or calibration");
}

// Each code is taken whole or the file is refused, naming the key: never
// narrowed into another code that the device would then be given.
TEST_F(SettingsFileTest, RefusesEveryCodeThatIsNotExactlyAChoiceOfItsList) {
    const std::string huge(5000, 'x');
    const struct {
        const char* key;
        std::string value;  // as written in the file
        std::string error;
    } rows[] = {
        {"units", "4294967297", "Code out of range for \"units\": 4294967297"},
        {"brightness", "-4294967293", "Code out of range for \"brightness\": -4294967293"},
        {"units", "18446744073709551615", "Code out of range for \"units\": 18446744073709551615"},
        {"units", "-1", "Code out of range for \"units\": -1"},
        {"units", "1.0", "The code of \"units\" is not a whole number: 1.0"},
        {"units", "1e2", "The code of \"units\" is not a whole number: 100.0"},
        {"units", "18446744073709551616",
         "The code of \"units\" is not a whole number: 1.8446744073709552e+19"},
        {"sound", "true", "The code of \"sound\" is not a whole number: true"},
        {"sound", "\"on\"", "The code of \"sound\" is not a whole number: \"on\""},
        {"lights", "null", "The code of \"lights\" is not a whole number: null"},
        {"lights", "[1]", "The code of \"lights\" is not a whole number: [1]"},
        {"units", "\"" + huge + "\"",
         "The code of \"units\" is not a whole number: \"" + std::string(39, 'x') + "..."},
    };
    for (const auto& row : rows) {
        const std::string key = row.key;
        std::string text = Document();
        const std::size_t at = text.find("\"" + key + "\": ");
        ASSERT_NE(at, std::string::npos) << key;
        const std::size_t value = at + key.size() + 4;
        text.replace(value, text.find_first_of(",\n", value) - value, row.value);
        EXPECT_EQ(ErrorOf(text), row.error) << row.value;
    }
}

TEST_F(SettingsFileTest, RefusesAKeyGivenTwiceAndShowsLongOrOddNamesShortAndEscaped) {
    std::string twice = Document();
    twice.replace(twice.find("\"units\": 2"), 10, "\"units\": 2, \"units\": 1");
    EXPECT_EQ(ErrorOf(twice), "The key \"units\" appears twice in the file");
    std::string calibrationTwice = Document();
    calibrationTwice.insert(1, "\"calibration\": \"2,00\",");
    EXPECT_EQ(ErrorOf(calibrationTwice), "The key \"calibration\" appears twice in the file");

    const std::string longKey(300, 'k');
    EXPECT_EQ(ErrorOf(Edited([&](auto& d) { d["settings"][longKey] = 1; })),
              "Unknown setting \"" + std::string(40, 'k') + "...\"");
    std::string cyrillic = "a";
    for (int i = 0; i < 21; ++i) {
        cyrillic += "ж";
    }
    EXPECT_EQ(ErrorOf(Edited([&](auto& d) { d["settings"][cyrillic] = 1; })),
              "Unknown setting \"" + cyrillic.substr(0, 39) + "...\"");
    EXPECT_EQ(ErrorOf(Edited([&](auto& d) { d["model"] = longKey; })),
              "The file is for another model (" + std::string(40, 'k') + "...), not the K520");
    EXPECT_EQ(ErrorOf(Edited([](auto& d) { d["settings"]["\x1b[2J"] = 1; })),
              "Unknown setting \"\\u001b[2J\"");
    EXPECT_EQ(ErrorOf(Edited([&](auto& d) { d["calibration"] = std::string(100, '1'); })),
              "Invalid calibration in the file [" + std::string(40, '1') + "...]");
}

TEST_F(SettingsFileTest, LoadsFromDiskAndRefusesEmptyAndHugeFiles) {
    TempDir folder;
    const std::string good = folder.Path() + "/good.json";
    std::ofstream(good) << Document();
    EXPECT_TRUE(LoadSettingsFile(good, *FindSupportedModel(520)).Ok());
    const std::string empty = folder.Path() + "/empty.json";
    std::ofstream{empty};
    EXPECT_EQ(LoadSettingsFile(empty, *FindSupportedModel(520)).error, "The file is empty");
    const std::string huge = folder.Path() + "/huge.json";
    {
        std::ofstream file(huge);
        const std::string block(1 << 20, ' ');
        for (int i = 0; i < 100; ++i) {
            file << block;
        }
    }
    EXPECT_EQ(LoadSettingsFile(huge, *FindSupportedModel(520)).error,
              "The file is too large for a settings file");
    EXPECT_FALSE(LoadSettingsFile(folder.Path() + "/missing.json", *FindSupportedModel(520)).Ok());
}

}  // namespace
