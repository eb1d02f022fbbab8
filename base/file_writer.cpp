#include "base/file_writer.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

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

// An existing file keeps its permissions; a new one gets the usual ones.
mode_t ModeFor(const std::string& path) {
    struct stat existing {};
    if (::stat(path.c_str(), &existing) == 0 && S_ISREG(existing.st_mode)) {
        return existing.st_mode & 07777;
    }
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

}  // namespace

ReplaceFailure ReplaceFileContent(const std::string& path, std::string_view content) {
    if (path.empty()) {
        return ReplaceFailure::Create;
    }
    std::string staging = path + ".XXXXXX";
    const int fd = ::mkostemp(staging.data(), O_CLOEXEC);
    if (fd < 0) {
        return ReplaceFailure::Create;
    }
    const bool written =
        WriteAll(fd, content) && ::fchmod(fd, ModeFor(path)) == 0 && ::fsync(fd) == 0;
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

bool WriteFileReplacing(const std::string& path, const std::string& content) {
    return ReplaceFileContent(path, content) == ReplaceFailure::None;
}
