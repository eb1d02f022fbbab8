#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "base/tick_clock.h"

// The periodic step that each tick of the main timer posts to the device
// worker: the connection step at most once per second, then identification,
// then the pages' steps. The worker's tick guard keeps one step at a time.
class ProcTimer {
  public:
    using Step = std::function<void()>;
    static constexpr std::uint32_t kConnectionPeriodMs = 1000;

    explicit ProcTimer(TickClock clock) : clock_(std::move(clock)) {}

    void SetConnectionStep(Step step) { connectionStep_ = std::move(step); }
    void SetIdentificationStep(Step step) { identificationStep_ = std::move(step); }
    void AddStep(Step step) { steps_.push_back(std::move(step)); }
    // Drops every step: the session they work on is going away.
    void ClearSteps();

    void Tick();
    // The connection step when due, then identification: what a restart runs
    // while it waits for the device to come back.
    void LinkStep();

  private:
    TickClock clock_;
    Step connectionStep_;
    Step identificationStep_;
    std::vector<Step> steps_;
    // Empty until the first tick, which runs the connection step at once.
    std::optional<std::uint32_t> lastConnectionTick_;
};
