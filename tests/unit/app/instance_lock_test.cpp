#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "app/instance_lock.h"
#include "support/other_user.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

// Holds the lock file at `path`, following a link as any program may, in a
// child process until Stop().
class LockHolder {
  public:
    explicit LockHolder(const std::string& path) {
        int ready[2];
        if (::pipe(ready) != 0) {
            return;
        }
        child_ = ::fork();
        if (child_ == 0) {
            const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
            const char result = fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0 ? 'y' : 'n';
            [[maybe_unused]] auto written = ::write(ready[1], &result, 1);
            ::pause();
            std::_Exit(0);
        }
        char result = 0;
        held_ = child_ > 0 && ::read(ready[0], &result, 1) == 1 && result == 'y';
        ::close(ready[0]);
        ::close(ready[1]);
    }
    ~LockHolder() { Stop(); }
    LockHolder(const LockHolder&) = delete;
    LockHolder& operator=(const LockHolder&) = delete;
    bool Held() const { return held_; }
    void Stop() {
        if (child_ > 0) {
            ::kill(child_, SIGKILL);
            ::waitpid(child_, nullptr, 0);
            child_ = -1;
        }
    }

  private:
    pid_t child_ = -1;
    bool held_ = false;
};

// The test's own folder: a lock file straight in the shared /tmp is refused.
class InstanceLockTest : public ::testing::Test {
  protected:
    InstanceLockTest() { fs::permissions(dir_.Path(), fs::perms::owner_all); }
    std::string LockPath(const char* name = "dravo.lock") const { return dir_.Path() + '/' + name; }
    TempDir dir_;
};

TEST_F(InstanceLockTest, SecondHolderIsRefusedUntilTheFirstReleases) {
    const std::string path = LockPath();
    InstanceLock first(path);
    InstanceLock second(path);
    ASSERT_TRUE(first.Acquire());
    EXPECT_FALSE(second.Acquire());
    EXPECT_FALSE(second.Held());
    first.Release();
    EXPECT_TRUE(second.Acquire());
    second.Release();
}

TEST_F(InstanceLockTest, AKilledHolderDoesNotBlockTheNextStart) {
    const std::string path = LockPath();
    LockHolder holder(path);
    ASSERT_TRUE(holder.Held());
    InstanceLock mine(path);
    EXPECT_FALSE(mine.Acquire()) << "the live child holds the lock";
    holder.Stop();
    EXPECT_TRUE(mine.Acquire()) << "a killed holder must not block";
}

// A lock file that another user can make or hold is not used: the lock moves
// to the fallback, where a second instance of this user is still refused.
TEST_F(InstanceLockTest, ALockAnotherUserCanHoldNeverBlocks) {
    const fs::path root = dir_.Path();
    fs::create_directories(root / "open");
    fs::permissions(root / "open", fs::perms::all | fs::perms::sticky_bit);
    fs::create_directories(root / "theirs");
    fs::create_directories(root / "own");
    fs::create_symlink(root / "own" / "target.lock", root / "own" / "link.lock");
    struct Case {
        const char* name;
        fs::path lock;
        bool possible;
    };
    const Case cases[] = {
        {"in a folder everyone may write", root / "open" / "x.lock", true},
        {"in another user's folder", root / "theirs" / "x.lock",
         GiveToAnotherUser((root / "theirs").string())},
        {"a link to a lock file", root / "own" / "link.lock", true},
    };
    for (const Case& c : cases) {
        if (!c.possible) {
            continue;
        }
        LockHolder other(c.lock.string());
        ASSERT_TRUE(other.Held()) << c.name;
        InstanceLock first(c.lock.string(), LockPath());
        InstanceLock second(c.lock.string(), LockPath());
        EXPECT_TRUE(first.Acquire()) << c.name;
        EXPECT_TRUE(first.Held()) << c.name;
        EXPECT_FALSE(second.Acquire()) << c.name;
    }
}

TEST_F(InstanceLockTest, AnUnwritableFolderFallsBackAndNoLockAtAllStillStarts) {
    const std::string fallback = LockPath();
    // A missing folder is made, but not its missing parent.
    const std::string unwritable = "/nonexistent-dravo-folder/sub/x.lock";
    InstanceLock first(unwritable, fallback);
    InstanceLock second(unwritable, fallback);
    ASSERT_TRUE(first.Acquire());
    EXPECT_TRUE(first.Held()) << "the lock moved to the fallback folder";
    EXPECT_FALSE(second.Acquire()) << "and still keeps a second instance out";
    EXPECT_FALSE(second.Unavailable());
    first.Release();

    InstanceLock nowhere(unwritable, "/nonexistent-dravo-folder/sub/y.lock");
    EXPECT_TRUE(nowhere.Acquire());
    EXPECT_FALSE(nowhere.Held());
    EXPECT_TRUE(nowhere.Unavailable());
}

TEST(InstanceLock, DefaultPathPrefersTheRuntimeFolderElseThePrivateOne) {
    ::setenv("XDG_RUNTIME_DIR", "/run/user/test-dir", 1);
    EXPECT_EQ(InstanceLock::DefaultPath(), "/run/user/test-dir/TLX4_Dravo_Explorer_Mutex.lock");
    ::setenv("XDG_RUNTIME_DIR", "", 1);
    ::setenv("TMPDIR", "/some/tmp/", 1);
    const std::string own = "/some/tmp/tlx4_dravo_explorer-" + std::to_string(::geteuid());
    EXPECT_EQ(InstanceLock::DefaultPath(), own + "/TLX4_Dravo_Explorer_Mutex.lock");
    EXPECT_EQ(InstanceLock::FallbackPath(), own + "/TLX4_Dravo_Explorer_Mutex.lock");
    ::unsetenv("XDG_RUNTIME_DIR");
    ::unsetenv("TMPDIR");
}

}  // namespace
