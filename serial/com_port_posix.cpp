#include "serial/com_port.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

class ComPort::Native {
  public:
    // Written under the port lock; the reader keeps its own copy.
    int fd = -1;
    // An eventfd that wakes the reader to stop.
    int stopFd = -1;
    std::thread reader;
};

namespace {

constexpr int kTimeoutBaseMs = 100;
constexpr int kTimeoutPerByteMs = 100;

speed_t BaudConstant(std::uint32_t baud) {
    switch (baud) {
        case 9600:
            return B9600;
        case 19200:
            return B19200;
        case 38400:
            return B38400;
        case 57600:
            return B57600;
        case 115200:
            return B115200;
        case 230400:
            return B230400;
        case 460800:
            return B460800;
        case 921600:
            return B921600;
        default:
            return B0;
    }
}

using Clock = std::chrono::steady_clock;

Clock::time_point DeadlineFor(std::size_t count) {
    return Clock::now() + std::chrono::milliseconds(kTimeoutBaseMs + kTimeoutPerByteMs * count);
}

// Waits for `events` on `fd` until `deadline`; true when they arrived.
bool WaitFor(int fd, short events, Clock::time_point deadline) {
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) {
            return false;
        }
        pollfd entry{fd, events, 0};
        const int ready = poll(&entry, 1, static_cast<int>(left));
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        return ready > 0 && (entry.revents & events) != 0;
    }
}

bool Configure(int fd, std::uint32_t baud) {
    termios settings{};
    if (tcgetattr(fd, &settings) != 0) {
        return false;
    }
    cfmakeraw(&settings);
    settings.c_cflag &= ~(CSTOPB | PARENB | CRTSCTS | CSIZE);
    settings.c_cflag |= CS8 | CLOCAL | CREAD;
    settings.c_iflag &= ~(IXON | IXOFF | IXANY | INPCK);
    settings.c_cc[VMIN] = 0;
    settings.c_cc[VTIME] = 0;
    const speed_t speed = BaudConstant(baud);
    if (speed == B0 || cfsetispeed(&settings, speed) != 0 || cfsetospeed(&settings, speed) != 0) {
        return false;
    }
    if (tcsetattr(fd, TCSANOW, &settings) != 0) {
        return false;
    }
    // DTR and RTS held off; a pseudo-terminal has no modem lines at all.
    int lines = 0;
    if (ioctl(fd, TIOCMGET, &lines) == 0) {
        lines &= ~(TIOCM_DTR | TIOCM_RTS);
        if (ioctl(fd, TIOCMSET, &lines) != 0 && errno != ENOTTY && errno != EINVAL) {
            return false;
        }
    } else if (errno != ENOTTY && errno != EINVAL) {
        return false;
    }
    tcflush(fd, TCIOFLUSH);
    return true;
}

void WaitForStop(int stopFd) {
    pollfd entry{stopFd, POLLIN, 0};
    while (poll(&entry, 1, -1) < 0 && errno == EINTR) {
    }
}

// Moves `count` bytes, one `step(fd, done)` at a time, waiting for `waitEvent`
// while the port would block, up to the deadline.
template <typename Step>
std::size_t Transfer(int fd, std::size_t count, short waitEvent, Step step) {
    if (fd < 0) {
        return 0;
    }
    const auto deadline = DeadlineFor(count);
    std::size_t done = 0;
    while (done < count) {
        const ssize_t moved = step(fd, done);
        if (moved > 0) {
            done += static_cast<std::size_t>(moved);
        } else if (moved < 0 && errno == EINTR) {
            continue;
        } else if (moved < 0 && errno == EAGAIN) {
            if (!WaitFor(fd, waitEvent, deadline)) {
                break;
            }
        } else {
            break;
        }
    }
    return done;
}

}  // namespace

ComPort::ComPort(PortTableConfig ports)
    : ports_(std::move(ports)), native_(std::make_unique<Native>()) {}

ComPort::~ComPort() {
    ClosePort();
}

int ComPort::OpenNative(const std::string& path, std::uint32_t baud) {
    if (path.empty()) {
        return ENOENT;
    }
    const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return errno;
    }
    // Not shared: TIOCEXCL keeps other openers out (privileged ones excepted),
    // the lock keeps out every program that asks for it, ourselves included.
    if (ioctl(fd, TIOCEXCL) != 0 || flock(fd, LOCK_EX | LOCK_NB) != 0 || !Configure(fd, baud)) {
        const int error = errno;
        close(fd);
        return error;
    }
    const int stopFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (stopFd < 0) {
        const int error = errno;
        close(fd);
        return error;
    }
    native_->fd = fd;
    native_->stopFd = stopFd;
    MarkOpened();
    try {
        native_->reader = std::thread([this] { ReaderLoop(); });
    } catch (const std::system_error& error) {
        open_ = false;
        native_->fd = -1;
        native_->stopFd = -1;
        close(fd);
        close(stopFd);
        return error.code().value();
    }
    return 0;
}

void ComPort::CloseNative() {
    // The reader stops only between its waits, never inside the handler or
    // while it holds the port lock; the descriptor is closed after it ended.
    const std::uint64_t one = 1;
    // The counter cannot overflow from one write; a short write is impossible.
    [[maybe_unused]] const ssize_t written = write(native_->stopFd, &one, sizeof one);
    if (native_->reader.joinable()) {
        native_->reader.join();
    }
    close(native_->stopFd);
    native_->stopFd = -1;
    std::lock_guard<std::mutex> guard(portLock_);
    open_ = false;
    // The exclusive flag outlives our descriptor while another holds the
    // terminal open (a simulator's pseudo-terminal): clear it for the next open.
    ioctl(native_->fd, TIOCNXCL);
    close(native_->fd);
    native_->fd = -1;
}

void ComPort::ReaderLoop() {
    const int fd = native_->fd;
    const int stopFd = native_->stopFd;
    // Readable twice in a row with nothing to read is end of file: a terminal
    // keeps reporting it, and waiting on it again would spin.
    int emptyWakeups = 0;
    for (;;) {
        pollfd entries[2] = {{stopFd, POLLIN, 0}, {fd, POLLIN, 0}};
        const int ready = poll(entries, 2, -1);
        if (ready < 0) {
            if (errno == EINTR) {
                continue;
            }
            break;
        }
        if (entries[0].revents != 0) {
            return;
        }
        int waiting = 0;
        if (ioctl(fd, FIONREAD, &waiting) != 0) {
            break;
        }
        if (waiting > 0) {
            emptyWakeups = 0;
            OnDataReceived(static_cast<std::size_t>(waiting));
            continue;
        }
        if ((entries[1].revents & (POLLHUP | POLLERR | POLLNVAL)) != 0 || ++emptyWakeups >= 2) {
            break;
        }
    }
    // The device is gone: wait only for ClosePort.
    vanished_ = true;
    OnVanished();
    WaitForStop(stopFd);
}

std::size_t ComPort::ReadNative(std::uint8_t* buffer, std::size_t count) {
    std::lock_guard<std::mutex> guard(portLock_);
    return Transfer(native_->fd, count, POLLIN, [buffer, count](int fd, std::size_t done) {
        return read(fd, buffer + done, count - done);
    });
}

std::size_t ComPort::WriteNative(const std::uint8_t* buffer, std::size_t count) {
    std::lock_guard<std::mutex> guard(portLock_);
    return Transfer(native_->fd, count, POLLOUT, [buffer, count](int fd, std::size_t done) {
        return write(fd, buffer + done, count - done);
    });
}
