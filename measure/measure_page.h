#pragma once

#include <QWidget>
#include <memory>

#include "base/wait_rules.h"
#include "measure/measurement.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTabWidget;

// The measurement page: the dose rate with its level bar, the accumulated dose,
// and the read, automatic-read and dose-reset controls. The main window places
// it on its first tab and calls MeasureStep() from its 100 ms timer.
class MeasurePage : public QWidget {
    Q_OBJECT

  public:
    // The buttons talk to the device only outside other device waits
    // (`waits`), which also let the timer run while the dose reset waits.
    MeasurePage(MeasureDevice& device, PageGate pageGate, Dialogs& dialogs, TickClock clock,
                WaitRules& waits, QWidget* parent = nullptr);
    ~MeasurePage() override;

    // The main window's page control: its current page decides whether automatic
    // reading runs, and the dose reset disables it while it waits.
    void BindPageControl(QTabWidget* pageControl);

    void MeasureStep();
    void Relabel();

    Measurement& Logic() { return *measurement_; }

    void BitBtn_Measure_ReadClick();
    void CheckBox_Measure_AutoReadClick();
    void BitBtn_Measure_Dose_ResetClick();

  private:
    void BuildWidgets();
    void TakeControlStates();
    void ShowState();

    WaitRules& waits_;
    std::unique_ptr<Measurement> measurement_;
    QTabWidget* pageControl_ = nullptr;
    bool pageControlEnabledTaken_ = true;

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
