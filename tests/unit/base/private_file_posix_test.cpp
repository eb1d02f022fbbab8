#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "base/file_writer.h"
#include "base/private_file.h"
#include "support/file_text.h"
#include "support/other_user.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

unsigned Mode(const fs::path& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

// A missing file is made the user's alone; an existing one of the user's own
// is narrowed and keeps its content; a link, its target and another user's
// file are left as they are.
TEST(KeepFilePrivate, MakesOrNarrowsTheUsersOwnFileAndNothingElse) {
    TempDir dir;
    const fs::path root = dir.Path();
    const fs::path made = root / "DRAVO" / "TLX4.conf";
    ASSERT_TRUE(KeepFilePrivate(made.string()));
    EXPECT_EQ(Mode(made), 0600u);
    EXPECT_EQ(fs::file_size(made), 0u);

    const fs::path open = root / "open.conf";
    std::ofstream(open) << "Password=secret\n";
    fs::permissions(open, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                              fs::perms::others_read);
    ASSERT_TRUE(KeepFilePrivate(open.string()));
    EXPECT_EQ(Mode(open), 0600u);
    EXPECT_EQ(FileText(open), "Password=secret\n");

    const fs::path target = root / "target.txt";
    std::ofstream(target) << "someone's";
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                                fs::perms::others_read);
    fs::create_symlink(target, root / "link.conf");
    EXPECT_FALSE(KeepFilePrivate((root / "link.conf").string()));
    EXPECT_EQ(Mode(target), 0644u);
    EXPECT_TRUE(fs::is_symlink(root / "link.conf"));

    EXPECT_FALSE(KeepFilePrivate(root.string()));
    if (GiveToAnotherUser(target.string())) {
        EXPECT_FALSE(KeepFilePrivate(target.string()));
        EXPECT_EQ(Mode(target), 0644u);
    }
}

// A CSV, settings or log file saved where a link stands replaces the link:
// the file it pointed to is never written through it.
TEST(FileWriter, ALinkAtTheTargetIsReplacedNotWrittenThrough) {
    TempDir folder;
    const std::string outside = folder.Path() + "/outside.txt";
    const std::string target = folder.Path() + "/history.csv";
    std::ofstream(outside) << "someone's notes";
    fs::create_symlink(outside, target);
    ASSERT_EQ(ReplaceFileContent(target, "time;dose\n"), ReplaceFailure::None);
    EXPECT_FALSE(fs::is_symlink(target));
    EXPECT_EQ(FileText(target), "time;dose\n");
    EXPECT_EQ(FileText(outside), "someone's notes");
}

}  // namespace
