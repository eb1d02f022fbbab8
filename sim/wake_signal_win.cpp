#include "sim/wake_signal.h"

// Windows has lines in memory only, which wake the device themselves.
WakeSignal::WakeSignal() = default;

WakeSignal::~WakeSignal() = default;

void WakeSignal::Wake() {
    std::lock_guard<std::mutex> guard(lock_);
    pending_ = true;
    woken_.notify_all();
}

bool WakeSignal::Wait(int, std::optional<std::chrono::microseconds> timeout) {
    std::unique_lock<std::mutex> guard(lock_);
    if (timeout) {
        woken_.wait_for(guard, *timeout, [this] { return pending_; });
    } else {
        woken_.wait(guard, [this] { return pending_; });
    }
    pending_ = false;
    return false;
}
