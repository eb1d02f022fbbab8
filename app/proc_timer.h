#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "base/tick_clock.h"
#include "base/wait_rules.h"

// One tick of the main timer: the connection step at most once per second,
// then every other step (identification, the pages) on every tick. Device
// exchanges inside a step pump the event loop, so a tick can be entered again
// while it runs: such nested ticks return at once. A tick is a frame that
// stands on the device session, and none runs once the program was asked to stop.
class ProcTimer {
  public:
    using Step = std::function<void()>;
    static constexpr std::uint32_t kConnectionPeriodMs = 1000;

    explicit ProcTimer(TickClock clock, WaitRules* waits = nullptr)
        : clock_(std::move(clock)), waits_(waits) {}

    void SetConnectionStep(Step step) { connectionStep_ = std::move(step); }
    void AddStep(Step step) { steps_.push_back(std::move(step)); }
    // Drops every step: the session they work on is going away.
    void ClearSteps();

    void Tick();
    bool TickInProgress() const { return inProgress_; }

  private:
    TickClock clock_;
    WaitRules* waits_;
    Step connectionStep_;
    std::vector<Step> steps_;
    bool inProgress_ = false;
    // Empty until the first tick, which runs the connection step at once.
    std::optional<std::uint32_t> lastConnectionTick_;
};
