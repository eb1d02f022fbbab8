#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "app/temp_folder.h"

namespace fs = std::filesystem;

namespace {

class TempFolderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() / ("dravo_tmp_" + std::to_string(::getpid()));
        fs::create_directories(root_);
        ::setenv("TMPDIR", root_.c_str(), 1);
    }
    void TearDown() override {
        ::unsetenv("TMPDIR");
        fs::remove_all(root_);
    }
    fs::path root_;
};

TEST_F(TempFolderTest, PathFollowsTmpdir) {
    EXPECT_EQ(TempFolderPath(), root_.string() + "/tlx4_dravo_explorer");
    ::unsetenv("TMPDIR");
    EXPECT_EQ(TempFolderPath(), "/tmp/tlx4_dravo_explorer");
}

TEST_F(TempFolderTest, CreatesAMissingFolder) {
    const std::string folder = TempFolderPath();
    ASSERT_TRUE(PrepareTempFolder(folder));
    EXPECT_TRUE(fs::is_directory(folder));
}

TEST_F(TempFolderTest, EmptiesFilesButLeavesSubfolders) {
    const fs::path folder = TempFolderPath();
    fs::create_directories(folder / "kept");
    std::ofstream(folder / "log.txt") << "old run";
    std::ofstream(folder / ".hidden") << "x";
    ASSERT_TRUE(PrepareTempFolder(folder.string()));
    EXPECT_FALSE(fs::exists(folder / "log.txt"));
    EXPECT_FALSE(fs::exists(folder / ".hidden"));
    EXPECT_TRUE(fs::is_directory(folder / "kept"));
}

TEST_F(TempFolderTest, FailsWhenAFileBlocksTheName) {
    const fs::path folder = TempFolderPath();
    std::ofstream(folder) << "not a folder";
    EXPECT_FALSE(PrepareTempFolder(folder.string()));
    EXPECT_FALSE(PrepareTempFolder((root_ / "no" / "such" / "parent").string()));
}

}  // namespace
