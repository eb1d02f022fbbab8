// The history over a full ring: the chart's bars at year, month and day level
// from a store in memory, and the whole reading against the simulated
// dosimeter over a pseudo-terminal, with and without wire-time emulation.

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>

#include "allocation_counter.h"
#include "history/history_chart_model.h"
#include "history/history_commands_device.h"
#include "history/read_history.h"
#include "protocol/device_stack.h"
#include "sim/simulated_device.h"
#include "support/recording_dialogs.h"
#include "support/recording_host.h"
#include "support/sim_on_stack.h"

namespace {

// 2023-01-01 00:00:00; a full ring of 8-minute records spans most of the year.
constexpr std::uint32_t kYearStart = 725846400;
constexpr std::uint32_t kRecordSeconds = 480;
constexpr std::uint32_t kFullRing = 65280 - 1;

std::unique_ptr<DeviceHistory> FullRing() {
    auto history = std::make_unique<DeviceHistory>();
    history->header.pages = 255;
    history->header.count = kFullRing;
    history->header.oldest = 0x0A00;
    for (std::uint32_t k = 0; k < kFullRing; ++k) {
        std::uint8_t bytes[16] = {0xFE, 0};
        WriteLe32(bytes + 4, kYearStart + k * kRecordSeconds);
        WriteLe32(bytes + 8, 900 + k % 37);
        WriteLe16(bytes + 12, kRecordSeconds);
        history->store.Put(history->header.PhysicalIndex(k), bytes);
    }
    history->valid = true;
    history->k100 = 127;
    history->sensors = 2;
    return history;
}

void DrawHistoryFullRing(benchmark::State& state) {
    static const std::unique_ptr<DeviceHistory> history = FullRing();
    HistoryChartView chart;
    chart.level = static_cast<HistoryLevel>(state.range(0));
    chart.view = DateTimeOfSeconds(kYearStart + 100 * 86400 + 5 * 3600);
    for (auto _ : state) {
        ChartPicture picture = DrawHistory(*history, chart);
        benchmark::DoNotOptimize(picture);
    }
}

BENCHMARK(DrawHistoryFullRing)
    ->Arg(static_cast<int>(HistoryLevel::Year))
    ->Arg(static_cast<int>(HistoryLevel::Month))
    ->Arg(static_cast<int>(HistoryLevel::Day))
    ->ArgName("level")
    ->Unit(benchmark::kMillisecond);

void ReadFullRing(benchmark::State& state) {
    const bool wireTime = state.range(0) != 0;
    SimOptions options;
    options.history.shape = HistoryShape::Full;
    options.history.recordWhileRunning = false;
    options.wireTime = wireTime;
    SimOnStack rig(options);
    if (!rig.Error().empty()) {
        state.SkipWithError(rig.Error().c_str());
        return;
    }
    SimulatedDevice& sim = rig.Sim();
    DeviceStack& stack = rig.Stack();
    CommandsHistoryDevice device(stack.Commands());
    RecordingHost host;
    RecordingDialogs dialogs;
    auto history = std::make_unique<DeviceHistory>();
    double wallSeconds = 0;
    double wireSeconds = 0;
    std::size_t allocations = 0;
    for (auto _ : state) {
        const auto wireBefore = sim.WireTimeSpent();
        const auto start = std::chrono::steady_clock::now();
        ReadHistory reader(HistoryAccess{device, host, nullptr}, *history, dialogs, nullptr);
        HistoryOutcome outcome;
        {
            CountAllocationsHere counter;
            outcome = reader.Run(2);
            allocations += counter.Count();
        }
        if (outcome != HistoryOutcome::Completed) {
            state.SkipWithError("the reading failed");
            break;
        }
        wallSeconds +=
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        wireSeconds += std::chrono::duration<double>(sim.WireTimeSpent() - wireBefore).count();
    }
    const double reads =
        static_cast<double>(sim.CountRequests(2, 0x02)) / static_cast<double>(state.iterations());
    state.counters["efl_reads"] = reads;
    // On the reading thread; the port's reader thread only fills fixed queues.
    // Whole counts per reading: a fraction per request prints as "1.1m" (milli).
    state.counters["allocs_per_reading"] =
        static_cast<double>(allocations) / static_cast<double>(state.iterations());
    if (wireTime && wireSeconds > 0) {
        state.counters["wall_over_wire"] = wallSeconds / wireSeconds;
        state.counters["wire_s"] = wireSeconds / static_cast<double>(state.iterations());
    }
}

BENCHMARK(ReadFullRing)
    ->Arg(0)
    ->Arg(1)
    ->ArgName("wire_time")
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
