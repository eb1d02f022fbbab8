// The history archive: keeping a full ring, a second reading that asks only
// for what is new (3 000 records, then 100 more, at emulated wire speed), and
// the year view over an archive of a million records.

#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <memory>

#include "history/archive_to_history.h"
#include "history/history_chart_model.h"
#include "history/history_commands_device.h"
#include "history/read_history.h"
#include "protocol/device_stack.h"
#include "sim/simulated_device.h"
#include "support/recording_dialogs.h"
#include "support/recording_host.h"
#include "support/sim_history.h"
#include "support/temp_dir.h"

namespace {

constexpr std::uint32_t kYearStart = 725846400;  // 2023-01-01
const ArchiveDeviceKey kDevice{"123-45678", "00:11:22:33:44:55:66:77:88:99:AA:BB", "K310"};

// A ring of `count` records of `seconds` each from `first` on, page markers in slot 0.
void FillRing(DeviceHistory& history, std::uint32_t first, std::uint32_t count,
              std::uint32_t seconds) {
    history.Reset();
    history.store.Erase();
    std::uint32_t index = 0;
    for (std::uint32_t k = 0; k < count; ++k) {
        if (index % 256 == 0) {
            std::uint8_t marker[16] = {0xF0, 1};
            WriteLe32(marker + 4, first + k * seconds);
            history.store.Put(index++, marker);
        }
        std::uint8_t bytes[16] = {0xFE, 0};
        WriteLe32(bytes + 4, first + k * seconds);
        WriteLe32(bytes + 8, 900 + k % 37);
        WriteLe16(bytes + 12, static_cast<std::uint16_t>(seconds));
        history.store.Put(index++, bytes);
    }
    history.header = HistoryHeader::FromParameters(4096u << 16, 255u << 16 | index, index, 0);
    history.k100 = 127;
    history.sensors = 2;
    history.valid = true;
}

std::uintmax_t ArchiveBytes(const std::string& path) {
    std::error_code error;
    std::uintmax_t bytes = std::filesystem::file_size(path, error);
    const std::uintmax_t wal = std::filesystem::file_size(path + "-wal", error);
    return bytes + (error ? 0 : wal);
}

void ArchiveFullRing(benchmark::State& state) {
    auto history = std::make_unique<DeviceHistory>();
    FillRing(*history, kYearStart, 65280 - 256, 480);
    const double records = 65280 - 256;
    std::uintmax_t bytes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        TempDir folder;
        const std::string path = folder.Path() + "/history.sqlite3";
        {
            HistoryArchive archive(path);
            if (!archive.Open()) {
                state.SkipWithError(archive.Error().c_str());
                break;
            }
            state.ResumeTiming();
            if (!archive.Save(kDevice, *history, 0)) {
                state.SkipWithError(archive.Error().c_str());
                break;
            }
            state.PauseTiming();
        }
        // Closed, the write-ahead log is folded into the file.
        bytes = ArchiveBytes(path);
        state.ResumeTiming();
    }
    state.counters["bytes_per_record"] = static_cast<double>(bytes) / records;
}

BENCHMARK(ArchiveFullRing)->Iterations(3)->Unit(benchmark::kMillisecond);

void SecondReadingAtWireSpeed(benchmark::State& state) {
    TempDir folder;
    SimOptions options;
    options.history.shape = HistoryShape::Partial;
    options.history.records = 3000;
    options.history.recordWhileRunning = false;
    options.wireTime = true;
    SimulatedDevice sim(options);
    DeviceStackOptions stackOptions;
    stackOptions.ports.systemPorts = false;
    stackOptions.ports.portDir.clear();
    DeviceStack stack(stackOptions);
    if (!sim.PlugIn(folder.Path(), 3) || !stack.OpenPath(sim.PortPath(), 3)) {
        state.SkipWithError("cannot reach the simulated device");
        return;
    }
    CommandsHistoryDevice device(stack.Commands());
    RecordingHost host;
    RecordingDialogs dialogs;
    auto history = std::make_unique<DeviceHistory>();
    double efl = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const std::string path = folder.Path() + "/history.sqlite3";
        std::filesystem::remove(path);
        {
            HistoryArchive archive(path);
            ReadHistory first(HistoryAccess{device, host, nullptr}, *history, dialogs, nullptr);
            first.UseArchive(archive.Open() ? &archive : nullptr, kDevice, false);
            if (first.Run(2) != HistoryOutcome::Completed) {
                state.SkipWithError("the first reading failed");
                break;
            }
        }
        AddMinuteRecords(sim, 100);
        const std::size_t before = sim.CountRequests(2, 0x02);
        state.ResumeTiming();
        HistoryArchive archive(path);
        ReadHistory second(HistoryAccess{device, host, nullptr}, *history, dialogs, nullptr);
        second.UseArchive(archive.Open() ? &archive : nullptr, kDevice, false);
        if (second.Run(2) != HistoryOutcome::Completed) {
            state.SkipWithError("the second reading failed");
            break;
        }
        efl += static_cast<double>(sim.CountRequests(2, 0x02) - before);
    }
    state.counters["efl_reads"] = efl / static_cast<double>(state.iterations());
}

BENCHMARK(SecondReadingAtWireSpeed)->Iterations(3)->UseRealTime()->Unit(benchmark::kMillisecond);

void YearViewOfAMillionRecords(benchmark::State& state) {
    static TempDir folder;
    static const std::string path = folder.Path() + "/history.sqlite3";
    static const bool filled = [] {
        HistoryArchive archive(path);
        if (!archive.Open()) {
            return false;
        }
        auto history = std::make_unique<DeviceHistory>();
        constexpr std::uint32_t kPerRing = 62500;
        for (std::uint32_t ring = 0; ring < 16; ++ring) {
            FillRing(*history, kYearStart + ring * kPerRing * 30, kPerRing, 30);
            if (!archive.Save(kDevice, *history, ring)) {
                return false;
            }
        }
        return true;
    }();
    if (!filled) {
        state.SkipWithError("cannot fill the archive");
        return;
    }
    const bool load = state.range(0) != 0;
    HistoryArchive archive(path);
    archive.Open();
    const std::int64_t id = archive.Devices().at(0).id;
    auto history = std::make_unique<DeviceHistory>();
    LoadArchiveHistory(archive.Records(id), *history);
    HistoryChartView chart;
    chart.level = HistoryLevel::Year;
    chart.view = DateTimeOfSeconds(kYearStart + 200 * 86400);
    for (auto _ : state) {
        if (load) {
            LoadArchiveHistory(archive.Records(id), *history);
        }
        ChartPicture picture = DrawHistory(*history, chart);
        benchmark::DoNotOptimize(picture);
    }
    state.counters["records"] = static_cast<double>(history->Count());
}

BENCHMARK(YearViewOfAMillionRecords)
    ->Arg(0)
    ->Arg(1)
    ->ArgName("load")
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
