#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "app/instance_lock.h"

namespace {

std::string LockPath() {
    return (std::filesystem::temp_directory_path() /
            ("dravo_lock_" + std::to_string(::getpid()) + ".lock"))
        .string();
}

TEST(InstanceLock, SecondHolderIsRefusedUntilTheFirstReleases) {
    const std::string path = LockPath();
    InstanceLock first(path);
    InstanceLock second(path);
    ASSERT_TRUE(first.Acquire());
    EXPECT_FALSE(second.Acquire());
    EXPECT_FALSE(second.Held());
    first.Release();
    EXPECT_TRUE(second.Acquire());
    second.Release();
    std::filesystem::remove(path);
}

TEST(InstanceLock, AKilledHolderDoesNotBlockTheNextStart) {
    const std::string path = LockPath();
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        InstanceLock held(path);
        const char result = held.Acquire() ? 'y' : 'n';
        [[maybe_unused]] auto written = ::write(ready[1], &result, 1);
        ::pause();
        std::_Exit(0);
    }
    char result = 0;
    ASSERT_EQ(::read(ready[0], &result, 1), 1);
    ASSERT_EQ(result, 'y');
    InstanceLock mine(path);
    EXPECT_FALSE(mine.Acquire()) << "the live child holds the lock";
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(mine.Acquire()) << "a killed holder must not block";
    ::close(ready[0]);
    ::close(ready[1]);
    std::filesystem::remove(path);
}

TEST(InstanceLock, AnUnwritableFolderFallsBackAndNoLockAtAllStillStarts) {
    const std::string fallback = LockPath();
    const std::string unwritable = "/nonexistent-dravo-folder/x.lock";
    InstanceLock first(unwritable, fallback);
    InstanceLock second(unwritable, fallback);
    ASSERT_TRUE(first.Acquire());
    EXPECT_TRUE(first.Held()) << "the lock moved to the fallback folder";
    EXPECT_FALSE(second.Acquire()) << "and still keeps a second instance out";
    EXPECT_FALSE(second.Unavailable());
    first.Release();
    std::filesystem::remove(fallback);

    InstanceLock nowhere(unwritable, "/nonexistent-dravo-folder/y.lock");
    EXPECT_TRUE(nowhere.Acquire());
    EXPECT_FALSE(nowhere.Held());
    EXPECT_TRUE(nowhere.Unavailable());
}

TEST(InstanceLock, DefaultPathPrefersTheRuntimeFolder) {
    ::setenv("XDG_RUNTIME_DIR", "/run/user/test-dir", 1);
    EXPECT_EQ(InstanceLock::DefaultPath(), "/run/user/test-dir/TLX4_Dravo_Explorer_Mutex.lock");
    ::setenv("XDG_RUNTIME_DIR", "", 1);
    ::setenv("TMPDIR", "/some/tmp/", 1);
    EXPECT_EQ(InstanceLock::DefaultPath(), "/some/tmp/TLX4_Dravo_Explorer_Mutex.lock");
    ::unsetenv("XDG_RUNTIME_DIR");
    ::unsetenv("TMPDIR");
}

}  // namespace
