#include "history/live_device_page_qt.h"

#include <QApplication>
#include <QDateTime>
#include <QLayout>
#include <atomic>
#include <cmath>

#include "base/language.h"
#include "base/ui_thread_qt.h"
#include "history/archive_key.h"
#include "history/archive_path.h"
#include "history/csv_save.h"
#include "history/live_csv.h"
#include "history/live_keeper.h"
#include "history/live_panel_widget.h"
#include "protocol/number_texts.h"

namespace {

constexpr const char* kOptionRecord = "LIVE_RECORD";
constexpr const char* kOptionRange = "LIVE_RANGE";
constexpr const char* kOptionAlarm = "LIVE_ALARM";  // hundredths of µSv/h; 0 off

std::int64_t NowMs() {
    return QDateTime::currentMSecsSinceEpoch();
}

class LivePlotPage final : public DevicePage {
  public:
    explicit LivePlotPage(const PageContext& context)
        : context_(context), keeper_(ArchiveFilePath()) {
        panel_ = new LivePanelWidget(context.tab);
        ui_ = std::make_unique<QtUiThread>(panel_);
        context.tab->layout()->addWidget(panel_);
        RestoreOptions();
        panel_->optionsChanged = [this] { KeepOptions(); };
        panel_->saveCsvClicked = [this] { SaveCsv(); };
        if (context.rateReadings) {
            context.rateReadings->Subscribe([this](const RateReading& reading) { Take(reading); });
        }
    }
    ~LivePlotPage() override { delete panel_; }

    void TimerStep() override { Tell(keeper_.Tick(NowMs())); }
    void Relabel() override { panel_->Relabel(); }

  private:
    void RestoreOptions() {
        if (!context_.readOption) {
            return;
        }
        panel_->SetRecording(context_.readOption(kOptionRecord).value_or(1) != 0);
        panel_->SetRangeIndex(context_.readOption(kOptionRange).value_or(0));
        const int alarm = context_.readOption(kOptionAlarm).value_or(0);
        panel_->SetThreshold(alarm > 0 ? std::optional<double>(alarm / 100.0) : std::nullopt);
        recording_ = panel_->Recording();
    }

    void KeepOptions() {
        recording_ = panel_->Recording();
        if (!context_.writeOption) {
            return;
        }
        context_.writeOption(kOptionRecord, panel_->Recording() ? 1 : 0);
        context_.writeOption(kOptionRange, panel_->RangeIndex());
        const std::optional<double> threshold = panel_->Threshold();
        context_.writeOption(kOptionAlarm,
                             threshold ? static_cast<int>(std::lround(*threshold * 100)) : 0);
    }

    // On the worker, right after the measurement page read the rate.
    void Take(const RateReading& rate) {
        if (!context_.device || !context_.device->valid) {
            return;
        }
        const ArchiveDeviceKey key = ArchiveKeyOf(*context_.device);
        const LiveReading reading = LiveReading::Of(NowMs(), rate.units, rate.rateWord, rate.level);
        if (!shownKey_ || key.serial != shownKey_->serial || key.uid != shownKey_->uid ||
            key.model != shownKey_->model) {
            shownKey_ = key;
            std::vector<LiveReading> earlier =
                keeper_.Earlier(key, reading.timeMs - LiveSeries::kKeepMs);
            ui_->Post(
                [panel = panel_, earlier = std::move(earlier)] { panel->ShowEarlier(earlier); });
        }
        if (recording_) {
            Tell(keeper_.Record(key, reading));
        }
        ui_->Post([this, reading] { Show(reading); });
    }

    // On the GUI thread.
    void Show(const LiveReading& reading) {
        if (!panel_->Add(reading)) {
            return;
        }
        const auto hundredths =
            static_cast<std::uint32_t>(std::lround(reading.usvPerHour.value_or(0) * 100));
        const std::string text = std::string(PickText("Мощность дозы не ниже порога: ",
                                                      "Dose rate at or above the threshold: ")) +
                                 HundredthsText(hundredths) + " " + LiveUnitText(0);
        if (context_.showStatus) {
            context_.showStatus(text, StatusStyle::Error);
        }
        if (context_.log) {
            context_.log->AddLine(text);
        }
        QApplication::beep();
    }

    void SaveCsv() {
        const std::string csv = LiveCsvOf(panel_->ShownReadings());
        context_.worker->Post(
            [this, csv] { SaveCsvText(true, csv, *context_.dialogs, lastCsvFileName_); });
    }

    void Tell(const std::string& message) {
        if (message.empty()) {
            return;
        }
        if (context_.log) {
            context_.log->LogError(message);
        }
        if (context_.showStatus) {
            context_.showStatus(message, StatusStyle::Error);
        }
    }

    PageContext context_;
    LiveKeeper keeper_;
    LivePanelWidget* panel_ = nullptr;
    std::unique_ptr<QtUiThread> ui_;  // to the panel, dropped once it is gone
    std::atomic<bool> recording_{true};
    std::optional<ArchiveDeviceKey> shownKey_;  // on the worker
    std::string lastCsvFileName_;               // on the worker
};

}  // namespace

std::unique_ptr<DevicePage> MakeLivePlotPage(const PageContext& context) {
    return std::make_unique<LivePlotPage>(context);
}
