// Requests per second and CPU cost of one connection test (TEST with 8 echo
// bytes) through Transact over a pseudo-terminal, against a device thread that
// answers at once or after a delay.

#include <benchmark/benchmark.h>
#include <time.h>

#include <chrono>
#include <string>

#include "protocol/device_stack.h"
#include "unit/serial/pty_peer.h"

namespace {

double ProcessCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

void TransactTest(benchmark::State& state) {
    testing_pty::PtyPair pty;
    testing_pty::ThreadedResponder device(pty, testing_pty::EchoAnswer,
                                          std::chrono::microseconds(state.range(0)));
    DeviceStackOptions options;
    options.ports.systemPorts = false;
    options.ports.portDir.clear();
    DeviceStack stack(std::move(options));
    if (!stack.OpenPath(pty.SlavePath())) {
        state.SkipWithError("cannot open the pseudo-terminal");
        return;
    }
    const std::string echo = "Ferandol";
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(echo.data());
    const double cpuStart = ProcessCpuSeconds();
    for (auto _ : state) {
        if (stack.Commands().Test(bytes, 8, false) != 1) {
            state.SkipWithError("no echo");
            break;
        }
    }
    const double cpu = ProcessCpuSeconds() - cpuStart;
    // All threads: the caller, the port's reader and the device thread.
    state.counters["process_cpu_us_per_request"] =
        benchmark::Counter(cpu * 1e6 / static_cast<double>(state.iterations()));
    state.counters["requests_per_second"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

BENCHMARK(TransactTest)
    ->Arg(0)
    ->Arg(2000)
    ->ArgName("delay_us")
    ->UseRealTime()
    ->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
