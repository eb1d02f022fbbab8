#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>

// The program's one request to stop (Exit, window close, SIGINT, SIGTERM,
// Ctrl-C): set once, from any thread. Every wait on the device gives up at
// once when it is set, which the registered wakers make happen even while a
// wait is blocked.
class StopSignal {
  public:
    using Waker = std::function<void()>;

    void RequestStop();
    bool StopRequested() const { return stop_.load(); }

    // Sleeps for `limit` unless a stop is requested first; false on a stop.
    bool SleepFor(std::chrono::milliseconds limit);

    // `waker` runs on the stopping thread when the stop is requested (at once
    // when it already was). Remove it before what it wakes goes away.
    int AddWaker(Waker waker);
    void RemoveWaker(int id);

  private:
    std::atomic<bool> stop_{false};
    std::mutex lock_;
    std::condition_variable stopped_;
    std::map<int, Waker> wakers_;
    int nextId_ = 0;
};

// Keeps a waker registered for its lifetime.
class StopWaker {
  public:
    StopWaker(StopSignal* signal, StopSignal::Waker waker);
    ~StopWaker();
    StopWaker(const StopWaker&) = delete;
    StopWaker& operator=(const StopWaker&) = delete;

  private:
    StopSignal* signal_;
    int id_ = -1;
};
