#pragma once

// A complete reading to save, a private folder and scripted dialogs.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "base/language.h"
#include "history/csv_save.h"
#include "support/recording_dialogs.h"
#include "support/temp_dir.h"

class CsvSaveTest : public ::testing::Test {
  protected:
    CsvSaveTest() {
        SetUiLanguage(Language::English);
        history.csv.Start(2, 100);
        history.csv.AddCsvLine(100, 60, 5);
        history.valid = true;
    }
    ~CsvSaveTest() override { SetUiLanguage(Language::Russian); }

    std::string Path(const std::string& name) const { return folder.Path() + "/" + name; }
    static std::string Content(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    std::size_t FilesInFolder() const {
        return static_cast<std::size_t>(
            std::distance(std::filesystem::directory_iterator(folder.Path()),
                          std::filesystem::directory_iterator()));
    }

    TempDir folder;
    DeviceHistory history;
    RecordingDialogs dialogs;
    std::string last;
};
