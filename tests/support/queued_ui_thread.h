#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

#include "base/ui_thread.h"

// A user interface thread for tests without an event loop: what other threads
// post waits in a queue until the thread that built it runs it.
class QueuedUiThread final : public UiThread {
  public:
    void Post(std::function<void()> action) override {
        std::lock_guard<std::mutex> guard(lock_);
        actions_.push_back(std::move(action));
        posted_.notify_all();
    }
    bool IsCurrent() const override { return std::this_thread::get_id() == owner_; }

    // Waits up to `limit` for an action and runs it here; false when none came.
    bool RunNext(std::chrono::milliseconds limit = std::chrono::seconds(10)) {
        std::function<void()> action;
        {
            std::unique_lock<std::mutex> hold(lock_);
            if (!posted_.wait_for(hold, limit, [this] { return !actions_.empty(); })) {
                return false;
            }
            action = std::move(actions_.front());
            actions_.pop_front();
        }
        action();
        return true;
    }
    // Waits up to `limit` until an action is queued, without running it.
    bool WaitPosted(std::chrono::milliseconds limit = std::chrono::seconds(10)) {
        std::unique_lock<std::mutex> hold(lock_);
        return posted_.wait_for(hold, limit, [this] { return !actions_.empty(); });
    }
    std::size_t Pending() const {
        std::lock_guard<std::mutex> guard(lock_);
        return actions_.size();
    }

  private:
    const std::thread::id owner_ = std::this_thread::get_id();
    mutable std::mutex lock_;
    std::condition_variable posted_;
    std::deque<std::function<void()>> actions_;
};
