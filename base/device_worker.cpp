#include "base/device_worker.h"

#include <utility>

DeviceWorker::DeviceWorker(StopSignal& stop)
    : stop_(stop),
      waker_(&stop,
             [this] {
                 std::lock_guard<std::mutex> guard(lock_);
                 posted_.notify_all();
             }),
      thread_([this] { Run(); }) {}

DeviceWorker::~DeviceWorker() {
    Shutdown();
}

void DeviceWorker::Post(Job job) {
    std::lock_guard<std::mutex> guard(lock_);
    if (stop_.StopRequested()) {
        return;
    }
    queue_.push_back({std::move(job), false});
    posted_.notify_all();
}

void DeviceWorker::PostPeriodic(Job job) {
    std::lock_guard<std::mutex> guard(lock_);
    if (stop_.StopRequested() || periodicPending_) {
        return;
    }
    periodicPending_ = true;
    queue_.push_back({std::move(job), true});
    posted_.notify_all();
}

bool DeviceWorker::PeriodicPending() const {
    std::lock_guard<std::mutex> guard(lock_);
    return periodicPending_;
}

bool DeviceWorker::Idle() const {
    std::lock_guard<std::mutex> guard(lock_);
    return !running_ && queue_.empty();
}

void DeviceWorker::Shutdown() {
    stop_.RequestStop();
    if (thread_.joinable() && !OnWorker()) {
        thread_.join();
    }
}

void DeviceWorker::Run() {
    std::unique_lock<std::mutex> hold(lock_);
    for (;;) {
        posted_.wait(hold, [this] { return stop_.StopRequested() || !queue_.empty(); });
        if (stop_.StopRequested()) {
            queue_.clear();
            periodicPending_ = false;
            return;
        }
        Entry entry = std::move(queue_.front());
        queue_.pop_front();
        running_ = true;
        hold.unlock();
        entry.job();
        // The job's captures go with it before the worker counts as idle.
        entry.job = nullptr;
        hold.lock();
        running_ = false;
        if (entry.periodic) {
            periodicPending_ = false;
        }
    }
}
