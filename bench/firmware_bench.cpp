// Writing the board-520 external-flash image (19,840 EFL_WRITE requests) to
// the simulated dosimeter at 230400 baud wire time: how far the wall time lies
// above the wire time the device accounts for, and how often progress is shown.

#include <benchmark/benchmark.h>

#include <chrono>

#include "firmware/external_flash_writer.h"
#include "protocol/device_stack.h"
#include "sim/simulated_device.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"

namespace {

constexpr int kCom = 4;

void WriteK520Image(benchmark::State& state) {
    TempDir dir;
    SimOptions options;
    options.model = SimModel::K520;
    options.history.shape = HistoryShape::Empty;
    options.history.recordWhileRunning = false;
    options.wireTime = true;
    SimulatedDevice device(options);
    DeviceStackOptions stackOptions;
    stackOptions.ports.systemPorts = false;
    stackOptions.ports.portDir = dir.Path();
    DeviceStack stack(stackOptions);
    if (!device.PlugIn(dir.Path(), kCom) || !stack.Open(kCom)) {
        state.SkipWithError("no simulated device");
        return;
    }
    AppLog log;
    RecordingHost host;
    ProgressScreens screens;
    int progressShown = 0;
    double wall = 0;
    for (auto _ : state) {
        const auto wireBefore = device.WireTimeSpent();
        const auto start = std::chrono::steady_clock::now();
        const FirmwareContext context{
            stack.Commands(), log, host, SystemTicks, [&](int) { ++progressShown; }, nullptr};
        if (ExternalFlashWriter(context, screens).Run() != WriteOutcome::Done) {
            state.SkipWithError("write failed");
            break;
        }
        wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const double wire =
            std::chrono::duration<double>(device.WireTimeSpent() - wireBefore).count();
        state.counters["wall_s"] = wall;
        state.counters["wire_s"] = wire;
        state.counters["wall_over_wire_percent"] = (wall / wire - 1.0) * 100.0;
    }
    state.counters["progress_shown"] = progressShown;
    state.counters["ms_between_progress"] = wall * 1000.0 / progressShown;
    state.counters["efl_writes"] = static_cast<double>(device.CountRequests(2, 0x03));
}

BENCHMARK(WriteK520Image)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
