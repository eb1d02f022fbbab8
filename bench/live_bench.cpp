// The measurement readings: the day's plot reduced to one min/max pair per
// pixel column with its minute means and peak, and drawn whole; storing one
// reading through the recorder and on its own; and the CSV of one day out of
// a month of kept readings.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <memory>

#include "history/live_archive.h"
#include "history/live_csv.h"
#include "history/live_plot_widget.h"
#include "history/live_recorder.h"
#include "history/live_series.h"
#include "support/temp_dir.h"

namespace {

constexpr std::int64_t kT0 = 1'700'000'000'000;
constexpr std::int64_t kDaySeconds = 24 * 3600;
const ArchiveDeviceKey kDevice{"123-45678", "00:11:22:33:44:55:66:77:88:99:AA:BB", "K310"};

LiveSeries DaySeries() {
    LiveSeries series;
    for (std::int64_t i = 0; i < kDaySeconds; ++i) {
        series.Add({kT0 + i * 1000, 0.1 + static_cast<double>(i % 97) / 100, i % 5000 == 0});
    }
    return series;
}

void BM_DayPlotReducedPerColumn(benchmark::State& state) {
    const LiveSeries series = DaySeries();
    const std::int64_t end = series.Points().back().timeMs + 1;
    for (auto _ : state) {
        auto columns = series.Reduce(end - LiveSeries::kKeepMs, end, 1000);
        auto means = series.MinuteMeans(end - LiveSeries::kKeepMs, end);
        auto peak = series.Peak(end - LiveSeries::kKeepMs, end);
        benchmark::DoNotOptimize(columns.data());
        benchmark::DoNotOptimize(means.data());
        benchmark::DoNotOptimize(peak);
    }
}
BENCHMARK(BM_DayPlotReducedPerColumn)->Unit(benchmark::kMillisecond);

// The whole redraw of the 24-hour range as the page shows it, 1000 pixels wide.
void BM_DayPlotRedrawn(benchmark::State& state) {
    if (QApplication::instance() == nullptr) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "live_bench";
        static char* argv[] = {name, nullptr};
        new QApplication(argc, argv);
    }
    const LiveSeries series = DaySeries();
    LivePlotWidget plot(series);
    plot.resize(1064, 300);
    plot.SetRange(series.Points().back().timeMs + 1, LiveSeries::kKeepMs);
    plot.SetUnitName(QStringLiteral("uSv/h"));
    plot.SetThreshold(0.9);
    QImage image(plot.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        plot.render(&image);
        benchmark::DoNotOptimize(image.bits());
    }
}
BENCHMARK(BM_DayPlotRedrawn)->Unit(benchmark::kMillisecond);

// One reading a second, as the page and a watch make them: most only wait in
// memory, every fifth second's stores the batch.
void BM_StoreOneReading(benchmark::State& state) {
    TempDir dir;
    HistoryArchive archive(dir.Path() + "/history.sqlite3");
    archive.Open();
    LiveArchive live(archive);
    LiveRecorder recorder(live);
    std::int64_t time = kT0;
    for (auto _ : state) {
        time += 1000;
        benchmark::DoNotOptimize(recorder.Add(kDevice, LiveReading::Of(time, 0, 12, 3)));
    }
    recorder.Flush();
}
BENCHMARK(BM_StoreOneReading)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();

// A reading stored in a transaction of its own, as a flush of one reading is.
void BM_StoreOneReadingAlone(benchmark::State& state) {
    TempDir dir;
    HistoryArchive archive(dir.Path() + "/history.sqlite3");
    archive.Open();
    LiveArchive live(archive);
    std::int64_t time = kT0;
    for (auto _ : state) {
        time += 1000;
        benchmark::DoNotOptimize(live.Store(kDevice, {LiveReading::Of(time, 0, 12, 3)}));
    }
}
BENCHMARK(BM_StoreOneReadingAlone)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();

// A month of readings a second apart (2.6 million rows), then one day's CSV.
void BM_ExportOneDayOfAMonth(benchmark::State& state) {
    TempDir dir;
    HistoryArchive archive(dir.Path() + "/history.sqlite3");
    archive.Open();
    LiveArchive live(archive);
    std::vector<LiveReading> day;
    for (int d = 0; d < 30; ++d) {
        day.clear();
        for (std::int64_t s = 0; s < kDaySeconds; ++s) {
            day.push_back(LiveReading::Of(kT0 + (d * kDaySeconds + s) * 1000, 0,
                                          static_cast<std::uint32_t>(10 + s % 7), 2));
        }
        live.Store(kDevice, day);
    }
    const std::int64_t device = *archive.DeviceId(kDevice, false);
    const std::int64_t from = kT0 + 14 * kDaySeconds * 1000;
    std::size_t rows = 0;
    for (auto _ : state) {
        LiveCsv csv;
        rows = 0;
        live.ForEach(device, from, from + kDaySeconds * 1000, [&](const LiveReading& reading) {
            csv.Add(reading);
            ++rows;
        });
        benchmark::DoNotOptimize(csv.Text().data());
    }
    state.counters["rows"] = static_cast<double>(rows);
}
BENCHMARK(BM_ExportOneDayOfAMonth)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

BENCHMARK_MAIN();
