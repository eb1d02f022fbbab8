#pragma once

#include <QWidget>
#include <memory>
#include <mutex>

#include "base/device_worker.h"
#include "base/operation_host.h"
#include "base/ui_thread_qt.h"
#include "measure/measurement.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTabWidget;

// The measurement page: the dose rate with its level bar, the accumulated dose,
// and the read, automatic-read and dose-reset controls. The main window places
// it on its first tab and runs MeasureStep() on the device worker in every
// periodic step. The logic runs on the worker; the widgets follow its state by
// queued calls, and it sees the controls as the user last set them.
class MeasurePage : public QWidget {
    Q_OBJECT

  public:
    // `dialogs` must be safe to call from the worker.
    // The dose reset holds the pages of `host` while it asks and writes.
    MeasurePage(MeasureDevice& device, PageGate pageGate, Dialogs& dialogs, TickClock clock,
                DeviceWorker& worker, OperationHost& host, QWidget* parent = nullptr);
    ~MeasurePage() override;

    // The main window's page control: its current page decides whether automatic
    // reading runs.
    void BindPageControl(QTabWidget* pageControl);

    // On the device worker.
    void MeasureStep();
    // On the GUI thread, before a periodic step is posted.
    void TakeControlStates();
    void Relabel();

    Measurement& Logic() { return *measurement_; }

    void BitBtn_Measure_ReadClick();
    void CheckBox_Measure_AutoReadClick();
    void BitBtn_Measure_Dose_ResetClick();

  private:
    struct Controls {
        bool autoReadChecked = true;
        int activePage = MeasurePageState::kMeasurementPageIndex;
    };

    void BuildWidgets();
    // On the worker: the controls' last states into the logic's state.
    void ApplyControlStates();
    void ShowState(const MeasurePageState& state);
    // Runs `action` on the worker after the controls' states.
    void PostToWorker(std::function<void()> action);

    DeviceWorker& worker_;
    OperationHost& host_;
    QtUiThread ui_;
    std::unique_ptr<Measurement> measurement_;
    std::mutex controlsLock_;
    Controls controls_;
    QTabWidget* pageControl_ = nullptr;

    QPushButton* readButton_ = nullptr;
    QCheckBox* autoReadBox_ = nullptr;
    QPushButton* doseResetButton_ = nullptr;
    QGroupBox* fonGroup_ = nullptr;
    QLabel* fonLabel_ = nullptr;
    QLabel* fonIndicator_ = nullptr;
    QProgressBar* fonBar_ = nullptr;
    QGroupBox* doseGroup_ = nullptr;
    QLabel* doseLabel_ = nullptr;
    QLabel* doseIndicator_ = nullptr;
    QLabel* versionMessage_ = nullptr;
};
