#pragma once

#include <vector>

#include "sim/sim_options.h"

// What to do with one answer.
struct FaultDecision {
    bool drop = false;
    bool corrupt = false;
    bool wrongCode = false;
    bool unplug = false;
    unsigned delayMs = 0;
    unsigned replugMs = 0;
};

// Counts matching requests per rule and decides, request by request, which
// faults hit. Deterministic: the same requests meet the same faults.
class FaultInjector {
  public:
    explicit FaultInjector(std::vector<FaultRule> rules = {});

    void SetRules(std::vector<FaultRule> rules);
    FaultDecision Decide(int group, int code);
    bool Silent() const { return silent_; }

  private:
    struct RuleState {
        FaultRule rule;
        unsigned matched = 0;
        unsigned hits = 0;
    };

    std::vector<RuleState> rules_;
    bool silent_ = false;
};
