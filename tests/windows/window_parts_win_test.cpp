// The window's Windows parts that need no Qt: its single-instance mutex and
// its temporary folder.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/instance_lock.h"
#include "app/temp_folder.h"
#include "base/utf8_path.h"

namespace {

TEST(InstanceLockOnWindows, TheNamedMutexRefusesASecondHolderUntilTheFirstLetsGo) {
    EXPECT_EQ(InstanceLock::DefaultPath(), "Local\\TLX4_Dravo_Explorer_Mutex");
    // A name of the test's own, so a running program does not interfere.
    const std::string name =
        "TLX4_Dravo_Explorer_Mutex_test_" + std::to_string(GetCurrentProcessId());
    InstanceLock first(name, InstanceLock::FallbackPath());
    InstanceLock second(name, InstanceLock::FallbackPath());
    ASSERT_TRUE(first.Acquire());
    EXPECT_FALSE(second.Acquire());
    EXPECT_FALSE(second.Held());
    EXPECT_FALSE(second.Unavailable());
    first.Release();
    EXPECT_TRUE(second.Acquire());
}

TEST(TempFolderOnWindows, LivesInTheUsersTemporaryFolderAndIsEmptiedOfFiles) {
    const std::string folder = TempFolderPath();
    EXPECT_EQ(folder, TempDirectory() + "\\tlx4_dravo_explorer");
    EXPECT_NE(TempDirectory().back(), '\\');
    ASSERT_TRUE(PrepareTempFolder(folder));
    std::ofstream(PathFromUtf8(folder + "\\stale.bin")) << "left by an earlier run";
    std::filesystem::create_directory(PathFromUtf8(folder + "\\kept"));
    ASSERT_TRUE(PrepareTempFolder(folder));
    EXPECT_FALSE(std::filesystem::exists(PathFromUtf8(folder + "\\stale.bin")));
    EXPECT_TRUE(std::filesystem::is_directory(PathFromUtf8(folder + "\\kept")));
    std::filesystem::remove_all(PathFromUtf8(folder));

    // A file where the folder should be: it cannot be made.
    std::ofstream(PathFromUtf8(folder)) << "in the way";
    EXPECT_FALSE(PrepareTempFolder(folder));
    std::filesystem::remove(PathFromUtf8(folder));
}

}  // namespace
