#include "sim/fault_injector.h"

FaultInjector::FaultInjector(std::vector<FaultRule> rules) {
    SetRules(std::move(rules));
}

void FaultInjector::SetRules(std::vector<FaultRule> rules) {
    rules_.clear();
    silent_ = false;
    for (auto& rule : rules) {
        rules_.push_back({rule, 0, 0});
    }
}

FaultDecision FaultInjector::Decide(int group, int code) {
    FaultDecision decision;
    for (auto& state : rules_) {
        const FaultRule& rule = state.rule;
        if ((rule.group >= 0 && rule.group != group) || (rule.code >= 0 && rule.code != code)) {
            continue;
        }
        ++state.matched;
        if (state.matched <= rule.after) {
            continue;
        }
        const unsigned position = state.matched - rule.after;
        const unsigned every = rule.every == 0 ? 1 : rule.every;
        if (position % every != 0 || (rule.limit != 0 && state.hits >= rule.limit)) {
            continue;
        }
        ++state.hits;
        switch (rule.kind) {
            case FaultKind::Drop:
                decision.drop = true;
                break;
            case FaultKind::Corrupt:
                decision.corrupt = true;
                break;
            case FaultKind::Delay:
                decision.delayMs += rule.delayMs;
                break;
            case FaultKind::WrongCode:
                decision.wrongCode = true;
                break;
            case FaultKind::Silent:
                silent_ = true;
                break;
            case FaultKind::Unplug:
                decision.unplug = true;
                decision.replugMs = rule.replugMs;
                break;
        }
    }
    if (silent_) {
        decision.drop = true;
    }
    return decision;
}
