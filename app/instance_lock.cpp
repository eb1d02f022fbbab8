#include "app/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdlib>

#include "app/temp_folder.h"

namespace {
constexpr const char* kLockName = "/TLX4_Dravo_Explorer_Mutex.lock";
}

InstanceLock::InstanceLock(std::string path, std::string fallback)
    : path_(std::move(path)), fallback_(std::move(fallback)) {}

InstanceLock::~InstanceLock() {
    Release();
}

bool InstanceLock::Acquire() {
    if (fd_ >= 0) {
        return true;
    }
    int result = TryLock(path_);
    if (result < 0 && !fallback_.empty() && fallback_ != path_) {
        result = TryLock(fallback_);
    }
    unavailable_ = result < 0;
    return result != 0;
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
    fd_ = fd;
    return 1;
}

void InstanceLock::Release() {
    if (fd_ < 0) {
        return;
    }
    // The file stays: removing it would let a starting instance lock a new
    // file while a late one still holds the old, unlinked one.
    ::flock(fd_, LOCK_UN);
    ::close(fd_);
    fd_ = -1;
}

std::string InstanceLock::DefaultPath() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    const std::string folder = (runtime != nullptr && *runtime != '\0') ? runtime : TempDirectory();
    return folder + kLockName;
}

std::string InstanceLock::FallbackPath() {
    return TempDirectory() + kLockName;
}
