#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>

// Wakes the simulated device's thread from its wait: for a change of its
// controls, or for bytes that came on a line in memory. On Linux it is a
// pipe, so that the wait also watches a pseudo-terminal.
class WakeSignal {
  public:
    WakeSignal();
    ~WakeSignal();
    WakeSignal(const WakeSignal&) = delete;
    WakeSignal& operator=(const WakeSignal&) = delete;

    void Wake();
    // Waits until woken, until `handle` (a descriptor, -1 for none) is
    // readable, or until `timeout` passed (none: no bound); true when
    // `handle` is readable.
    bool Wait(int handle, std::optional<std::chrono::microseconds> timeout);

  private:
#ifdef _WIN32
    std::mutex lock_;
    std::condition_variable woken_;
    bool pending_ = false;
#else
    int read_ = -1;
    int write_ = -1;
#endif
};
