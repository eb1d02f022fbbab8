#pragma once

// A complete reading to save, a private folder and scripted dialogs.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "history/csv_save.h"
#include "support/file_text.h"
#include "support/language_guard.h"
#include "support/recording_dialogs.h"
#include "support/temp_dir.h"

class CsvSaveTest : public ::testing::Test {
  protected:
    CsvSaveTest() {
        history.csv.Start(2, 100);
        history.csv.AddCsvLine(100, 60, 5);
        history.valid = true;
    }

    std::string Path(const std::string& name) const { return folder.Path() + "/" + name; }
    std::size_t FilesInFolder() const {
        return static_cast<std::size_t>(
            std::distance(std::filesystem::directory_iterator(folder.Path()),
                          std::filesystem::directory_iterator()));
    }

    TempDir folder;
    DeviceHistory history;
    RecordingDialogs dialogs;
    std::string last;
    LanguageGuard english_{Language::English};
};
