#include "sim/pty_port.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <thread>

namespace fs = std::filesystem;

namespace {

std::string Describe(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

bool MakeRaw(int fd) {
    termios settings{};
    if (tcgetattr(fd, &settings) != 0) {
        return false;
    }
    cfmakeraw(&settings);
    cfsetispeed(&settings, B230400);
    cfsetospeed(&settings, B230400);
    settings.c_cflag |= CLOCAL | CREAD;
    return tcsetattr(fd, TCSANOW, &settings) == 0;
}

}  // namespace

std::unique_ptr<PtyPort> PtyPort::Open(const std::string& linkPath, std::string& error) {
    std::unique_ptr<PtyPort> port(new PtyPort());
    port->master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (port->master_ < 0) {
        error = Describe("posix_openpt");
        return nullptr;
    }
    char name[128];
    if (grantpt(port->master_) != 0 || unlockpt(port->master_) != 0 ||
        ptsname_r(port->master_, name, sizeof name) != 0) {
        error = Describe("pseudo-terminal set-up");
        return nullptr;
    }
    port->slavePath_ = name;
    port->slave_ = open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (port->slave_ < 0 || !MakeRaw(port->slave_)) {
        error = Describe("pseudo-terminal slave");
        return nullptr;
    }
    const int flags = fcntl(port->master_, F_GETFL);
    fcntl(port->master_, F_SETFL, flags | O_NONBLOCK);

    std::error_code fsError;
    const fs::path link(linkPath);
    if (link.has_parent_path()) {
        fs::create_directories(link.parent_path(), fsError);
    }
    // A stale link from a device that vanished without cleaning up is replaced.
    if (fs::is_symlink(fs::symlink_status(link, fsError))) {
        fs::remove(link, fsError);
    }
    fs::create_symlink(port->slavePath_, link, fsError);
    if (fsError) {
        error = "cannot create " + linkPath + ": " + fsError.message();
        return nullptr;
    }
    port->linkPath_ = linkPath;
    return port;
}

PtyPort::~PtyPort() {
    if (!linkPath_.empty()) {
        std::error_code error;
        // Only our own link: another device may have been plugged in meanwhile.
        if (fs::read_symlink(linkPath_, error) == fs::path(slavePath_)) {
            fs::remove(linkPath_, error);
        }
    }
    if (slave_ >= 0) {
        close(slave_);
    }
    if (master_ >= 0) {
        close(master_);
    }
}

std::size_t PtyPort::Read(std::uint8_t* buffer, std::size_t count) {
    const ssize_t n = read(master_, buffer, count);
    return n > 0 ? static_cast<std::size_t>(n) : 0;
}

bool PtyPort::WriteAll(const std::uint8_t* data, std::size_t length, int timeoutMs) {
    std::size_t written = 0;
    while (written < length) {
        const ssize_t n = write(master_, data + written, length - written);
        if (n > 0) {
            written += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) {
            return false;
        }
        pollfd fd{master_, POLLOUT, 0};
        if (poll(&fd, 1, timeoutMs) <= 0) {
            return false;
        }
    }
    return true;
}

// The sim's own slave descriptor sees the slave's input queue: what the
// program has not read yet.
void PtyPort::AwaitTaken(std::chrono::milliseconds bound) {
    const auto end = std::chrono::steady_clock::now() + bound;
    int unread = 0;
    while (ioctl(slave_, FIONREAD, &unread) == 0 && unread > 0 &&
           std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}
