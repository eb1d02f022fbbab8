#pragma once

#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "base/app_log.h"
#include "base/device_worker.h"
#include "base/dialogs.h"
#include "base/operation_host.h"
#include "base/ui_thread_qt.h"
#include "history/history_chart_model.h"
#include "history/history_device.h"
#include "history/history_reading_result.h"
#include "protocol/device_info.h"

struct ArchiveView;
class HistoryChartWidget;
class HistorySourceWidget;
class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;
class ReadHistory;

// What the history page needs from the program around it. Everything but
// the worker is used by the page's jobs on the worker.
struct HistoryPageContext {
    HistoryDevice& device;
    OperationHost& host;
    DeviceWorker& worker;
    Dialogs& dialogs;
    AppLog* log = nullptr;
    // The page gate; it may change the notice the page shows.
    std::function<bool(std::string& notice)> pageGate;
    // Counting tubes of the identified model (SensorCount of its board code).
    std::function<int()> sensorCount;
    // The identified device, none when none is connected; its history is
    // archived under its key and the archive source shows its records.
    std::function<std::optional<DeviceInfo>()> identifiedDevice;
};

// The history page: reads the device's history with progress and cancel,
// shows it as a bar chart from a year down to a minute, saves it as CSV and
// deletes it in the device. Every completed reading is kept in the archive,
// which the chart can show instead of the reading. Reading, deletion and
// loading the archive are jobs on the device worker; the history they fill is
// the page's again once the job has ended.
class HistoryPage : public QWidget {
    Q_OBJECT

  public:
    explicit HistoryPage(HistoryPageContext context, QWidget* parent = nullptr);
    ~HistoryPage() override;

    // Re-captions the page's controls in the interface language; the Read
    // button shows Cancel while a reading runs.
    void Relabel();
    // The page control asks before it leaves this page: no while reading.
    bool PageControl1Changing() const { return !reading_; }
    bool Reading() const { return reading_; }

    // The reading's history, whatever the chart shows.
    const DeviceHistory& History() const { return *history_; }
    // The view of the source the chart shows.
    const HistoryChartView& ChartView() const;
    const std::string& LastCsvFileName() const { return lastCsvFileName_; }
    HistoryChartWidget* Chart() const { return chart1_; }

    void BitBtn_HIS_ReadClick();
    void BitBtn_HIS_DeleteClick();
    void BitBtn_HIS_Save_CSVClick();
    void BitBtn_HIS_BackClick();
    void BitBtn_HIS_UpClick();
    void BitBtn_HIS_VperedClick();
    void BitBtn_HIS_To_LastClick();
    void CheckBox_HIS_Show_MaxValClick();
    void Series1DblClick(int bar);

  private:
    void BuildWidgets();
    // For jobs on the worker: the page gate's notice goes to the label by a queued call.
    HistoryAccess Access();
    void ReadingEnded(std::shared_ptr<DeviceHistory> read, const std::string& archiveError);
    std::optional<DeviceInfo> IdentifiedDevice() const;
    void LogArchiveError(const std::string& error);
    // The history the chart shows: the reading's, or the archive's once loaded.
    const DeviceHistory* Shown() const;
    bool Showing() const;
    HistoryChartView& View();
    void ShowSource();
    void LoadArchive();
    void ArchiveLoaded(std::shared_ptr<const ArchiveView> view);
    void ShowArchiveNote();
    void ClearChart();
    void Step(bool forward);
    void DrawHistory();
    void ShowWaitingTitle();
    void SetReadCaption();

    HistoryPageContext context_;
    QtUiThread ui_;
    std::shared_ptr<DeviceHistory> history_;
    // The running reading, kept here to cancel it.
    std::shared_ptr<ReadHistory> reader_;
    HistoryChartView chart_;
    // The archive as last loaded, and the chart's view of it.
    std::shared_ptr<const ArchiveView> archive_;
    HistoryChartView archiveChart_;
    // Why the last reading could not use the archive; a completed one clears it.
    std::string readingArchiveError_;
    std::string lastCsvFileName_;
    bool reading_ = false;

    QPushButton* readButton_ = nullptr;
    QCheckBox* fullBox_ = nullptr;
    HistorySourceWidget* source_ = nullptr;
    QPushButton* deleteButton_ = nullptr;
    QPushButton* saveButton_ = nullptr;
    QWidget* navigationPanel_ = nullptr;
    QPushButton* backButton_ = nullptr;
    QPushButton* upButton_ = nullptr;
    QPushButton* forwardButton_ = nullptr;
    QPushButton* lastButton_ = nullptr;
    QCheckBox* showMaxBox_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QLabel* versionMessage_ = nullptr;
    QLabel* archiveMessage_ = nullptr;
    HistoryChartWidget* chart1_ = nullptr;
};
