#include "base/stop_signal.h"

#include <utility>

// Wakers run under the lock, so none is removed (and its object destroyed)
// while it runs; they only notify and must not call back here.
void StopSignal::RequestStop() {
    std::lock_guard<std::mutex> guard(lock_);
    if (stop_.exchange(true)) {
        return;
    }
    stopped_.notify_all();
    for (auto& [id, waker] : wakers_) {
        waker();
    }
}

bool StopSignal::SleepFor(std::chrono::milliseconds limit) {
    std::unique_lock<std::mutex> hold(lock_);
    return !stopped_.wait_for(hold, limit, [this] { return stop_.load(); });
}

int StopSignal::AddWaker(Waker waker) {
    std::unique_lock<std::mutex> hold(lock_);
    if (stop_.load()) {
        hold.unlock();
        waker();
        return -1;
    }
    wakers_.emplace(nextId_, std::move(waker));
    return nextId_++;
}

void StopSignal::RemoveWaker(int id) {
    std::lock_guard<std::mutex> guard(lock_);
    wakers_.erase(id);
}

StopWaker::StopWaker(StopSignal* signal, StopSignal::Waker waker) : signal_(signal) {
    if (signal_ != nullptr) {
        id_ = signal_->AddWaker(std::move(waker));
    }
}

StopWaker::~StopWaker() {
    if (signal_ != nullptr && id_ >= 0) {
        signal_->RemoveWaker(id_);
    }
}
