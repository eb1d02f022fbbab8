#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "base/tick_clock.h"

// The steps that the 100 ms timer drives. An empty step is skipped; later
// subsystems fill them in.
struct TimerHooks {
    std::function<void()> connectionStep;
    std::function<void()> identificationStep;
    std::function<void()> measureStep;
};

// One tick of the main timer. Device exchanges inside a step pump the event
// loop, so a tick can be entered again while it runs: such nested ticks return
// at once. The connection step runs at most once per second.
class ProcTimer {
  public:
    static constexpr std::uint32_t kConnectionPeriodMs = 1000;

    explicit ProcTimer(TickClock clock) : clock_(std::move(clock)) {}

    TimerHooks& Hooks() { return hooks_; }
    void Tick();
    bool TickInProgress() const { return inProgress_; }

  private:
    TickClock clock_;
    TimerHooks hooks_;
    bool inProgress_ = false;
    // Empty until the first tick, which runs the connection step at once.
    std::optional<std::uint32_t> lastConnectionTick_;
};
