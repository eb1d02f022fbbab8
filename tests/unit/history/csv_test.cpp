#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/language.h"
#include "history/csv_save.h"
#include "history/csv_text.h"
#include "support/recording_dialogs.h"
#include "support/temp_dir.h"
#include "unit/history/csv_save_fixture.h"

namespace {

TEST(CsvText, HeaderRowsAndFormulas) {
    CsvText csv;
    csv.Start(2, 127);
    csv.AddCsvLine(731513100, 60, 120);
    csv.AddCsvLine(731513160, 0, 7);
    EXPECT_EQ(std::string(csv.Bytes()),
              "TIME_IN_SECOND_FROM_2000;DATE;TIME;TIME_LENGTH_SECOND;NUMBER_OF_PULSES;SENSOR_COUNT;"
              "CALIBRATION_x100;MUL_VALUE;DIV_VALUE;RESULT_FORMULE\r\n"
              "731513100;07.03.2023;14:05:00;60;120;2;127;36;86;=E2*G2*H2/(D2*F2*I2)\r\n"
              "731513160;07.03.2023;14:06:00;0;7;2;127;36;86;0\r\n");
    csv.Start(1, 100);
    EXPECT_EQ(csv.Rows(), 1);
    EXPECT_EQ(CsvLine(5, 731513100, 60, 4294967295u, 1, 999),
              "731513100;07.03.2023;14:05:00;60;4294967295;1;999;36;86;=E5*G5*H5/(D5*F5*I5)");
}

TEST(CsvText, LinesBeyondTheCapacityAreDroppedButCounted) {
    CsvText csv;
    csv.Start(1, 100);
    int added = 0;
    while (csv.Bytes().size() + 200 < CsvText::kCapacity) {
        csv.AddCsvLine(0, 60, 1);
        ++added;
    }
    const std::size_t full = csv.Bytes().size();
    for (int i = 0; i < 10; ++i) {
        csv.AddCsvLine(0xFFFFFFFF, 65535, 0xFFFFFFFF);
    }
    EXPECT_LT(csv.Bytes().size(), CsvText::kCapacity);
    EXPECT_GT(csv.Bytes().size(), full);
    EXPECT_EQ(csv.Rows(), added + 11);
    EXPECT_EQ(csv.Bytes().substr(csv.Bytes().size() - 2), "\r\n");
}

TEST_F(CsvSaveTest, WithoutACompleteReadingNothingIsAsked) {
    history.valid = false;
    dialogs.saveAs = Path("a.csv");
    SaveCsvClick(history, dialogs, last);
    EXPECT_EQ(dialogs.shown, std::vector<std::string>{"error:First read History from Device"});
    EXPECT_EQ(FilesInFolder(), 0u);
}

TEST_F(CsvSaveTest, SavesTheTextAndProposesTheNameNextTime) {
    dialogs.saveAs = Path("out");
    SaveCsvClick(history, dialogs, last);
    EXPECT_EQ(FileText(Path("out.csv")), std::string(history.csv.Bytes()));
    EXPECT_EQ(last, Path("out.csv"));
    EXPECT_EQ(dialogs.shown, std::vector<std::string>{"save:CSV History saving"});
    EXPECT_EQ(FilesInFolder(), 1u);

    dialogs.saveAs.clear();
    std::string proposed;
    struct Spy : RecordingDialogs {
        std::string* seen;
        bool SaveFileName(const std::string&, const std::string&, std::string& name) override {
            *seen = name;
            return false;
        }
    } spy;
    spy.seen = &proposed;
    SaveCsvClick(history, spy, last);
    EXPECT_EQ(proposed, Path("out.csv"));
}

TEST_F(CsvSaveTest, AnExistingFileIsReplacedOnlyAfterYes) {
    const std::string path = Path("old.csv");
    std::ofstream(path) << "old content";
    std::filesystem::permissions(path, std::filesystem::perms::owner_read |
                                           std::filesystem::perms::owner_write |
                                           std::filesystem::perms::group_read);
    dialogs.saveAs = path;
    dialogs.answerYes = false;
    SaveCsvClick(history, dialogs, last);
    EXPECT_EQ(FileText(path), "old content");
    ASSERT_EQ(dialogs.questions.size(), 1u);
    EXPECT_EQ(dialogs.questions[0], "File\r\n" + path + "\r\nalready exists\r\nRewrite?");

    dialogs.answerYes = true;
    SaveCsvClick(history, dialogs, last);
    EXPECT_EQ(FileText(path), std::string(history.csv.Bytes()));
    EXPECT_TRUE(dialogs.errors.empty());
    EXPECT_EQ(FilesInFolder(), 1u);
#ifndef _WIN32  // Windows files have no mode bits to keep
    EXPECT_EQ(std::filesystem::status(path).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                  std::filesystem::perms::group_read);
#endif
}

TEST_F(CsvSaveTest, ADirectoryTargetIsNotReplaced) {
    const std::string path = Path("dir.csv");
    std::filesystem::create_directory(path);
    std::ofstream(path + "/inside") << "kept";
    dialogs.saveAs = path;
    dialogs.answerYes = true;
    SaveCsvClick(history, dialogs, last);
    EXPECT_EQ(dialogs.errors, std::vector<std::string>{"Error\n\rnoaccess to file\r\n" + path});
    EXPECT_EQ(FileText(path + "/inside"), "kept");
    EXPECT_EQ(FilesInFolder(), 1u);
}

TEST_F(CsvSaveTest, AMissingFolderGivesTheCreateErrorAndKeepsTheLastName) {
    last = "before.csv";
    const std::string path = Path("missing/new.csv");
    dialogs.saveAs = path;
    SaveCsvClick(history, dialogs, last);
    EXPECT_EQ(dialogs.errors, std::vector<std::string>{"File creating Error\r\n" + path + "\r\n"});
    EXPECT_EQ(last, "before.csv");
}

}  // namespace
