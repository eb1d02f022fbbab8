#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <type_traits>
#include <utility>

#include "base/stop_signal.h"
#include "base/ui_thread.h"

// The one thread that talks to the device. Everything that uses the device
// session runs here as a job, one at a time, in the order posted: the periodic
// step of the main timer and every user operation. A click that arrives while
// a job runs is therefore never nested in it; it simply runs next.
class DeviceWorker {
  public:
    using Job = std::function<void()>;

    explicit DeviceWorker(StopSignal& stop);
    // Stops (see Shutdown).
    ~DeviceWorker();
    DeviceWorker(const DeviceWorker&) = delete;
    DeviceWorker& operator=(const DeviceWorker&) = delete;

    // Queues a job; dropped once a stop was requested.
    void Post(Job job);
    // Queues the periodic step unless the last one has not ended (the tick
    // guard).
    void PostPeriodic(Job job);
    bool PeriodicPending() const;
    // Runs `work` here and hands its result to `then` on `ui`'s thread: the one
    // way a page's job comes back. `work` takes its inputs as copies.
    template <typename Work, typename Then>
    void RunThen(Work work, UiThread& ui, Then then);

    // No job runs or waits.
    bool Idle() const;
    bool OnWorker() const { return std::this_thread::get_id() == thread_.get_id(); }

    // Requests the stop, drops the queued jobs, lets the running one end at its
    // next wait and joins the thread. Safe to call again.
    void Shutdown();

  private:
    struct Entry {
        Job job;
        bool periodic = false;
    };

    void Run();

    StopSignal& stop_;
    mutable std::mutex lock_;
    std::condition_variable posted_;
    std::deque<Entry> queue_;
    bool running_ = false;
    bool periodicPending_ = false;
    StopWaker waker_;
    std::thread thread_;
};

template <typename Work, typename Then>
void DeviceWorker::RunThen(Work work, UiThread& ui, Then then) {
    Post([work = std::move(work), &ui, then = std::move(then)]() mutable {
        if constexpr (std::is_void_v<std::invoke_result_t<Work&>>) {
            work();
            ui.Post(std::move(then));
        } else {
            ui.Post(
                [then = std::move(then), result = work()]() mutable { then(std::move(result)); });
        }
    });
}
