#include "app/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdlib>

#include "app/temp_folder.h"

namespace {
constexpr const char* kLockName = "/TLX4_Dravo_Explorer_Mutex.lock";
}

int InstanceLock::TryLock(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        return -1;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return 0;
    }
    holder_ = fd;
    return 1;
}

void InstanceLock::Release() {
    if (!Held()) {
        return;
    }
    // The file stays: removing it would let a starting instance lock a new
    // file while a late one still holds the old, unlinked one.
    const int fd = static_cast<int>(holder_);
    ::flock(fd, LOCK_UN);
    ::close(fd);
    holder_ = kNone;
}

std::string InstanceLock::DefaultPath() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    const std::string folder = (runtime != nullptr && *runtime != '\0') ? runtime : TempDirectory();
    return folder + kLockName;
}

std::string InstanceLock::FallbackPath() {
    return TempDirectory() + kLockName;
}
