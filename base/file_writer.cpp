#include "base/file_writer.h"

#include <fcntl.h>
#include <unistd.h>
#include <cstdio>

#include <cerrno>

namespace {

bool WriteAll(int fd, const std::string& content) {
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

}  // namespace

bool WriteFileReplacing(const std::string& path, const std::string& content) {
    if (path.empty()) {
        return false;
    }
    const std::string staging = path + ".part";
    const int fd = ::open(staging.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        return false;
    }
    const bool written = WriteAll(fd, content) && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || std::rename(staging.c_str(), path.c_str()) != 0) {
        std::remove(staging.c_str());
        return false;
    }
    return true;
}
