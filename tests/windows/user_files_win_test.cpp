// Where the program keeps its files on Windows, and that names outside the
// system's code page survive the whole way.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "base/file_writer.h"
#include "base/options_path.h"
#include "base/utf8_path.h"
#include "base/wide_text.h"
#include "history/archive_path.h"
#include "history/history_archive.h"
#include "support/temp_dir.h"

namespace {

std::string ReadWhole(const std::string& path) {
    std::ifstream file(PathFromUtf8(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

// Points an environment variable of the user's folders elsewhere for one test.
class ScopedFolderVariable {
  public:
    ScopedFolderVariable(const wchar_t* name, const std::string& value) : name_(name) {
        wchar_t saved[MAX_PATH + 1];
        const DWORD length = GetEnvironmentVariableW(name, saved, MAX_PATH + 1);
        had_ = length > 0 && length <= MAX_PATH;
        saved_.assign(saved, had_ ? length : 0);
        SetEnvironmentVariableW(name, WideFromUtf8(value).c_str());
    }
    ~ScopedFolderVariable() { SetEnvironmentVariableW(name_, had_ ? saved_.c_str() : nullptr); }

  private:
    const wchar_t* name_;
    std::wstring saved_;
    bool had_ = false;
};

class UserFilesOnWindows : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(temp_.Path().empty());
        // "Пользователь": a user folder named outside any Western code page.
        folder_ = temp_.Path() +
                  "\\\xD0\x9F\xD0\xBE\xD0\xBB\xD1\x8C\xD0\xB7\xD0\xBE\xD0\xB2\xD0"
                  "\xB0\xD1\x82\xD0\xB5\xD0\xBB\xD1\x8C";
        ASSERT_TRUE(std::filesystem::create_directory(PathFromUtf8(folder_)));
    }

    TempDir temp_;
    std::string folder_;
};

TEST_F(UserFilesOnWindows, OptionsAndArchiveLiveInTheUsersFolders) {
    const ScopedFolderVariable roaming(L"APPDATA", folder_ + "\\Roaming");
    const ScopedFolderVariable local(L"LOCALAPPDATA", folder_ + "\\Local");
    EXPECT_EQ(OptionsFilePath(), folder_ + "\\Roaming\\DRAVO\\TLX4.ini");
    EXPECT_EQ(ArchiveFilePath(), folder_ + "\\Local\\DRAVO\\history.sqlite3");

    // The archive makes its folder under the user's name and opens there.
    HistoryArchive archive(ArchiveFilePath());
    EXPECT_TRUE(archive.Open()) << archive.Error();
    EXPECT_TRUE(std::filesystem::is_directory(PathFromUtf8(folder_ + "\\Local\\DRAVO")));
}

TEST_F(UserFilesOnWindows, AReplacingWriteReplacesWholeAndLeavesNothingBeside) {
    const std::string target = folder_ + "\\report.csv";
    ASSERT_EQ(ReplaceFileContent(target, "first version, longer than the second\n"),
              ReplaceFailure::None);
    ASSERT_EQ(ReplaceFileContent(target, "second\n"), ReplaceFailure::None);
    EXPECT_EQ(ReadWhole(target), "second\n");
    int entries = 0;
    for ([[maybe_unused]] const auto& entry :
         std::filesystem::directory_iterator(PathFromUtf8(folder_))) {
        ++entries;
    }
    EXPECT_EQ(entries, 1);

    EXPECT_EQ(ReplaceFileContent(folder_ + "\\missing\\report.csv", "x"), ReplaceFailure::Create);
    ASSERT_TRUE(std::filesystem::create_directory(PathFromUtf8(folder_ + "\\folder.csv")));
    EXPECT_EQ(ReplaceFileContent(folder_ + "\\folder.csv", "x"), ReplaceFailure::Replace);
    EXPECT_TRUE(std::filesystem::is_directory(PathFromUtf8(folder_ + "\\folder.csv")));
}

}  // namespace
