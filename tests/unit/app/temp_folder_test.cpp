#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "app/temp_folder.h"
#include "support/file_text.h"
#include "support/other_user.h"

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
    static void Write(const fs::path& path, const char* text) { std::ofstream(path) << text; }
    fs::path root_;
};

TEST_F(TempFolderTest, PathsFollowTmpdir) {
    EXPECT_EQ(TempFolderPath(), root_.string() + "/tlx4_dravo_explorer");
    EXPECT_EQ(PrivateTempFolderPath(),
              root_.string() + "/tlx4_dravo_explorer-" + std::to_string(::geteuid()));
    ::unsetenv("TMPDIR");
    EXPECT_EQ(TempFolderPath(), "/tmp/tlx4_dravo_explorer");
}

TEST_F(TempFolderTest, TheUsualFolderIsMadePrivateAndUsedAsBefore) {
    const StagingFolder staging = PrepareStagingFolder();
    EXPECT_EQ(staging.path, TempFolderPath());
    EXPECT_FALSE(staging.privateFolder);
    struct stat info {};
    ASSERT_EQ(::lstat(staging.path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0700u);
    EXPECT_FALSE(fs::exists(PrivateTempFolderPath()));
}

// Only regular files go; nothing is reached through a link in the folder.
TEST_F(TempFolderTest, EmptiesRegularFilesButTheLockAndNothingBeyond) {
    const fs::path folder = TempFolderPath();
    const fs::path outside = root_ / "outside.txt";
    fs::create_directories(folder / "kept");
    Write(folder / "log.txt", "old run");
    Write(folder / ".hidden", "x");
    Write(folder / kInstanceLockFile, "");
    Write(outside, "someone's notes");
    fs::create_symlink(outside, folder / "link.txt");
    ASSERT_TRUE(PrepareTempFolder(folder.string()));
    EXPECT_FALSE(fs::exists(folder / "log.txt"));
    EXPECT_FALSE(fs::exists(folder / ".hidden"));
    EXPECT_TRUE(fs::exists(folder / kInstanceLockFile));
    EXPECT_TRUE(fs::is_directory(folder / "kept"));
    EXPECT_TRUE(fs::is_symlink(folder / "link.txt"));
    EXPECT_EQ(FileText(outside), "someone's notes");
}

// A folder of the usual name that is not the user's own is left exactly as it
// is, and the user's private folder is used instead.
TEST_F(TempFolderTest, AFolderThatIsNotTheUsersOwnIsLeftAloneForThePrivateOne) {
    const fs::path usual = TempFolderPath();
    const fs::path victim = root_ / "victim";
    struct Case {
        const char* name;
        std::function<bool()> make;  // false when it cannot be made here
    };
    const Case cases[] = {
        {"a link to someone's folder",
         [&] {
             fs::create_directory(victim);
             fs::create_directory_symlink(victim, usual);
             return true;
         }},
        {"writable by others",
         [&] {
             fs::create_directory(usual);
             fs::permissions(usual, fs::perms::all);
             return true;
         }},
        {"another user's folder",
         [&] {
             fs::create_directory(usual);
             return GiveToAnotherUser(usual.string());
         }},
    };
    for (const Case& c : cases) {
        fs::remove_all(root_);
        fs::create_directories(root_);
        if (!c.make()) {
            continue;
        }
        const fs::path files = fs::is_symlink(usual) ? victim : usual;
        Write(files / "thesis.odt", "chapter one");
        const StagingFolder staging = PrepareStagingFolder();
        EXPECT_EQ(staging.path, PrivateTempFolderPath()) << c.name;
        EXPECT_TRUE(staging.privateFolder) << c.name;
        EXPECT_EQ(FileText(files / "thesis.odt"), "chapter one") << c.name;
        EXPECT_EQ(fs::status(PrivateTempFolderPath()).permissions(), fs::perms::owner_all)
            << c.name;

        // The private folder of that user's making is refused the same way.
        fs::remove(PrivateTempFolderPath());
        fs::create_directory_symlink(victim, PrivateTempFolderPath());
        EXPECT_TRUE(PrepareStagingFolder().path.empty()) << c.name;
        fs::remove(PrivateTempFolderPath());
    }
}

TEST_F(TempFolderTest, FailsWhenAFileBlocksTheName) {
    const fs::path folder = TempFolderPath();
    Write(folder, "not a folder");
    EXPECT_FALSE(PrepareTempFolder(folder.string()));
    EXPECT_FALSE(PrepareTempFolder((root_ / "no" / "such" / "parent").string()));
}

}  // namespace
