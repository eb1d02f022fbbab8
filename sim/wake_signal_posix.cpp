#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cstdint>
#include <ctime>

#include "sim/wake_signal.h"

WakeSignal::WakeSignal() {
    int fds[2];
    if (pipe2(fds, O_NONBLOCK | O_CLOEXEC) == 0) {
        read_ = fds[0];
        write_ = fds[1];
    }
}

WakeSignal::~WakeSignal() {
    close(read_);
    close(write_);
}

void WakeSignal::Wake() {
    const std::uint8_t byte = 1;
    [[maybe_unused]] const ssize_t n = write(write_, &byte, 1);
}

bool WakeSignal::Wait(int handle, std::optional<std::chrono::microseconds> timeout) {
    pollfd fds[2] = {{read_, POLLIN, 0}, {handle, POLLIN, 0}};
    timespec bound{};
    if (timeout) {
        const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(*timeout);
        bound = {static_cast<time_t>(seconds.count()),
                 static_cast<long>((*timeout - seconds).count() * 1000)};
    }
    if (ppoll(fds, 2, timeout ? &bound : nullptr, nullptr) <= 0) {
        return false;
    }
    if (fds[0].revents & POLLIN) {
        std::uint8_t buffer[64];
        while (read(read_, buffer, sizeof buffer) > 0) {
        }
    }
    return (fds[1].revents & POLLIN) != 0;
}
