#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

#include "sim/sim_options.h"

// The faults of the simulated dosimeter that every device operation must
// survive, each aimed at one request of the operation under test.
enum class FaultOutcome {
    Retried,   // one send is lost; the next one of the three succeeds
    NoAnswer,  // all three sends go unanswered: the operation fails
    Lost,      // the device vanished during the wait: failure at once
};

struct FaultRow {
    const char* name;
    FaultKind kind;
    unsigned delayMs;
    unsigned replugMs;
    bool once;  // hits only the first matching request
    FaultOutcome outcome;
};

inline const std::vector<FaultRow>& FaultRows() {
    static const std::vector<FaultRow> rows = {
        {"AnswerDropped", FaultKind::Drop, 0, 0, true, FaultOutcome::Retried},
        {"ChecksumCorrupted", FaultKind::Corrupt, 0, 0, true, FaultOutcome::Retried},
        {"WrongCode", FaultKind::WrongCode, 0, 0, true, FaultOutcome::Retried},
        // Later than the 700 ms wait, earlier than the third send.
        {"LateAnswer", FaultKind::Delay, 800, 0, true, FaultOutcome::Retried},
        {"DeviceFallsSilent", FaultKind::Silent, 0, 0, false, FaultOutcome::NoAnswer},
        {"DeviceUnplugged", FaultKind::Unplug, 0, 0, true, FaultOutcome::Lost},
        {"UnpluggedAndPluggedBackIn", FaultKind::Unplug, 0, 300, true, FaultOutcome::Lost},
    };
    return rows;
}

// The rule that hits the first request with this group and code.
inline FaultRule RuleFor(const FaultRow& row, int group, int code) {
    FaultRule rule;
    rule.kind = row.kind;
    rule.group = group;
    rule.code = code;
    rule.limit = row.once ? 1 : 0;
    rule.delayMs = row.delayMs;
    rule.replugMs = row.replugMs;
    return rule;
}

// How often requests of the faulted kind are sent, where a run without the
// fault sends `cleanSends`: a lost send is repeated once, an unanswered one
// twice more and the operation ends there, and a vanished device or a stop
// ends it after the first.
inline std::size_t ExpectedSends(FaultOutcome outcome, bool stopped, std::size_t cleanSends) {
    if (stopped || outcome == FaultOutcome::Lost) {
        return 1;
    }
    return outcome == FaultOutcome::Retried ? cleanSends + 1 : 3;
}

inline std::string CellName(const std::string& row, const std::string& column, bool stop) {
    return row + "_" + column + (stop ? "_StopRequested" : "");
}

// The boxes shown when a program asked to stop ended an operation: none, or,
// when the device was lost before the stop came, the first boxes of that failure.
inline bool StopShowedOnlyItsLoss(const FaultRow& row, const std::vector<std::string>& shown,
                                  const std::vector<std::string>& failureBoxes) {
    if (row.outcome != FaultOutcome::Lost) {
        return shown.empty();
    }
    return shown.size() <= failureBoxes.size() &&
           std::equal(shown.begin(), shown.end(), failureBoxes.begin());
}
