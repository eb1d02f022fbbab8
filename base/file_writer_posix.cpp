#include "base/file_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>

namespace {

bool WriteAll(int fd, std::string_view content) {
    const char* data = content.data();
    std::size_t left = content.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, left);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    return true;
}

// A new file beside `path` that no one else uses, under a short name of its
// own, so that a target whose name is near the length limit can be written
// too; the same folder keeps the rename within one file system. The process's
// umask applies to it as to any file the program creates. -1 when none could
// be made.
int CreateStaging(const std::string& path, std::string& staging) {
    static std::atomic<unsigned> counter{0};
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    for (int attempt = 0; attempt < 100; ++attempt) {
        char name[32];
        std::snprintf(name, sizeof name, ".dravo-%x-%x", static_cast<unsigned>(::getpid()),
                      counter++);
        staging = folder + name;
        const int fd = ::open(staging.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    return -1;
}

// A replaced file keeps its permissions.
bool KeepMode(int fd, const std::string& path) {
    struct stat existing {};
    if (::stat(path.c_str(), &existing) != 0 || !S_ISREG(existing.st_mode)) {
        return true;
    }
    return ::fchmod(fd, existing.st_mode & 07777) == 0;
}

}  // namespace

ReplaceFailure ReplaceFileContent(const std::string& path, std::string_view content) {
    if (path.empty()) {
        return ReplaceFailure::Create;
    }
    std::string staging;
    const int fd = CreateStaging(path, staging);
    if (fd < 0) {
        return ReplaceFailure::Create;
    }
    const bool written = WriteAll(fd, content) && KeepMode(fd, path) && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed) {
        std::remove(staging.c_str());
        return ReplaceFailure::Write;
    }
    if (std::rename(staging.c_str(), path.c_str()) != 0) {
        std::remove(staging.c_str());
        return ReplaceFailure::Replace;
    }
    return ReplaceFailure::None;
}
