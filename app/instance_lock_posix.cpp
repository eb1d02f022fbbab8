#include "app/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "app/own_folder.h"
#include "app/temp_folder.h"

// The lock file is opened inside a folder of the user's own, relative to the
// folder's descriptor and never through a link, so no other user can hold it.
int InstanceLock::TryLock(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return -1;
    }
    const int folder = OpenOwnFolder(slash == 0 ? "/" : path.substr(0, slash));
    if (folder < 0) {
        return -1;
    }
    const int fd = ::openat(folder, path.c_str() + slash + 1,
                            O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
    ::close(folder);
    if (fd < 0) {
        return -1;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
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
    return (runtime != nullptr && *runtime != '\0') ? std::string(runtime) + '/' + kInstanceLockFile
                                                    : FallbackPath();
}

std::string InstanceLock::FallbackPath() {
    return PrivateTempFolderPath() + '/' + kInstanceLockFile;
}
