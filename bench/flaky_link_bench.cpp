// A history reading over a link that loses every fifth answer, against the
// same reading over a clean link: each lost answer should cost one answer
// timeout and nothing more. Reports the seconds per lost answer and the
// longest time from a retried request's answer to the request after it.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <vector>

#include "history/history_commands_device.h"
#include "history/read_history.h"
#include "protocol/device_stack.h"
#include "sim/simulated_device.h"
#include "support/recording_dialogs.h"
#include "support/recording_host.h"
#include "support/sim_on_stack.h"

namespace {

using Entry = TranscriptEntry;

// Seconds of one whole reading, or a negative number when it failed.
double TimedReading(DeviceStack& stack) {
    CommandsHistoryDevice device(stack.Commands());
    RecordingHost host;
    RecordingDialogs dialogs;
    auto history = std::make_unique<DeviceHistory>();
    ReadHistory reader(HistoryAccess{device, host, nullptr}, *history, dialogs, nullptr);
    const auto start = std::chrono::steady_clock::now();
    if (reader.Run(2) != HistoryOutcome::Completed) {
        return -1;
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// A request that went out again right after itself is a retry; the request
// that follows the retry's answer should leave at once.
std::uint64_t LongestGapAfterRetriedAnswer(const std::vector<Entry>& entries) {
    std::uint64_t longest = 0;
    for (std::size_t i = 1; i + 2 < entries.size(); ++i) {
        const Entry& sent = entries[i - 1];
        const Entry& again = entries[i];
        const Entry& answer = entries[i + 1];
        const Entry& next = entries[i + 2];
        const bool retried = sent.direction == Entry::Direction::Request &&
                             again.direction == Entry::Direction::Request &&
                             sent.group == again.group && sent.code == again.code &&
                             sent.data == again.data;
        if (retried && answer.direction == Entry::Direction::Answer &&
            next.direction == Entry::Direction::Request) {
            longest = std::max(longest, next.timeMs - answer.timeMs);
        }
    }
    return longest;
}

void ReadOverFlakyLink(benchmark::State& state) {
    SimOptions options;
    options.history.shape = HistoryShape::Partial;
    options.history.records = static_cast<std::uint32_t>(state.range(0));
    options.history.recordWhileRunning = false;
    SimOnStack rig(options);
    if (!rig.Error().empty()) {
        state.SkipWithError(rig.Error().c_str());
        return;
    }
    SimulatedDevice& sim = rig.Sim();
    DeviceStack& stack = rig.Stack();
    for (auto _ : state) {
        sim.SetFaults({});
        const double clean = TimedReading(stack);
        FaultRule drop;
        drop.kind = FaultKind::Drop;
        drop.every = 5;
        sim.SetFaults({drop});
        sim.ClearTranscript();
        const double flaky = TimedReading(stack);
        if (clean < 0 || flaky < 0) {
            state.SkipWithError("a reading failed");
            break;
        }
        const std::vector<Entry> entries = sim.TranscriptEntries();
        // Every request without its answer is one the device dropped.
        const auto answers = static_cast<double>(std::count_if(
            entries.begin(), entries.end(),
            [](const Entry& entry) { return entry.direction == Entry::Direction::Answer; }));
        const double dropped = static_cast<double>(entries.size()) - 2 * answers;
        state.counters["clean_s"] = clean;
        state.counters["flaky_s"] = flaky;
        state.counters["dropped"] = dropped;
        state.counters["budget_s"] = clean + 0.75 * dropped;
        state.counters["s_per_drop"] = dropped > 0 ? (flaky - clean) / dropped : 0;
        state.counters["gap_after_retry_ms"] =
            static_cast<double>(LongestGapAfterRetriedAnswer(entries));
    }
}

BENCHMARK(ReadOverFlakyLink)
    ->Arg(200)
    ->ArgName("records")
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
