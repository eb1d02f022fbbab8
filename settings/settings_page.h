#pragma once

#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/device_worker.h"
#include "base/ui_thread_qt.h"
#include "settings/settings_actions.h"
#include "settings/threshold_tables.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;

// What a settings page is built with; everything outlives the page. The
// environment is used by the page's jobs on `worker`.
struct SettingsPageContext {
    SettingsEnvironment environment;
    DeviceWorker& worker;
    // Asks for a settings file to load; empty when cancelled. Unset: a file dialog.
    std::function<std::string()> chooseFileToLoad;
};

// The settings page of one model, built from the model's description: a button
// column, the lists with their labels, the sound, clock and alarm (or lights and
// measuring method) controls, and the calibration group. Widgets carry the
// object names of the model (ComboBox_Setup_<model>_Units, ...). Each action is a
// job on the device worker with a copy of what the widgets show; the widgets
// show a copy of its result.
class SettingsPage : public QWidget {
    Q_OBJECT

  public:
    SettingsPage(const SupportedModel& model, SettingsPageContext context,
                 QWidget* parent = nullptr);
    ~SettingsPage() override;

    // The page control that holds this page as a tab, or that holds `tab`
    // with this page inside; Show, Hide and the caption act on that tab.
    void BindPageControl(QTabWidget* pageControl, QWidget* tab = nullptr);
    void Show();
    void Hide();
    // Sets every text in the current language; lists keep their selections.
    void Relabel();

    SettingsActions& Logic() { return *actions_; }

    void ReadClick();
    void WriteClick();
    void DefaultClick();
    void TimeClick();
    void ResetClick();
    void UnitsChange();
    void CalibrSaveClick();
    void SaveToFileClick();
    void LoadFromFileClick();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    struct Control {
        const SettingBinding* binding;
        QComboBox* list = nullptr;
        QLabel* label = nullptr;
        QCheckBox* box = nullptr;
    };

    void BuildWidgets();
    QPushButton* MakeButton(const char* role);
    void PlaceControl(Control& control, QWidget* parent);
    void Refill(Control& control);
    void RefillThresholds(int unitsSelection);
    // The units list's position; 0 for a model without units.
    int UnitsSelection();
    // What the widgets show now.
    SettingsPageState TakeWidgets() const;
    void ShowState(const SettingsPageState& state);
    // Runs `action` on the worker over a copy of the widgets' state; when it
    // returns true, `then` gets the state it left, on this thread.
    void Post(std::function<bool(SettingsActions&)> action,
              std::function<void(const SettingsPageState&)> then = {});
    // The same, and the widgets show that state.
    void PostShowing(std::function<bool(SettingsActions&)> action);
    int TabIndex() const;
    Control* ControlOf(const char* key);
    std::string Name(const char* kind, const char* role) const;

    const SupportedModel& model_;
    std::function<std::string()> chooseFileToLoad_;
    DeviceWorker& worker_;
    QtUiThread ui_;
    std::unique_ptr<SettingsActions> actions_;
    // What the widgets were last given, beyond what they hold themselves.
    SettingsPageState shown_;
    ThresholdUnits thresholdUnits_;
    QTabWidget* pageControl_ = nullptr;
    QWidget* tab_ = this;

    std::vector<Control> controls_;
    std::vector<QPushButton*> buttons_;
    QPushButton* resetButton_ = nullptr;
    QGroupBox* soundGroup_ = nullptr;
    QGroupBox* timeGroup_ = nullptr;
    QGroupBox* alarmGroup_ = nullptr;
    QGroupBox* calibrationGroup_ = nullptr;
    QLineEdit* timeEdit_ = nullptr;
    QLineEdit* calibrationEdit_ = nullptr;
    QPushButton* calibrationButton_ = nullptr;
};
