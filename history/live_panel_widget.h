#pragma once

#include <QWidget>
#include <functional>
#include <optional>
#include <vector>

#include "history/live_reading.h"
#include "history/live_series.h"
#include "history/rate_alarm.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QTimer;
class LivePlotWidget;

// Under the measurement page's values: the dose-rate plot with its range
// choice, the Record box, Save CSV and the PC's own alarm threshold. It keeps
// its readings across page and language switches; on the GUI thread.
class LivePanelWidget : public QWidget {
  public:
    static constexpr std::int64_t kRangesMs[] = {600'000, 3'600'000, 86'400'000};

    explicit LivePanelWidget(QWidget* parent = nullptr);

    void Relabel();
    // The plot starts over with these readings (a device's earlier ones).
    void ShowEarlier(const std::vector<LiveReading>& readings);
    // A new reading; true when it crossed the alarm threshold.
    bool Add(const LiveReading& reading);

    bool Recording() const;
    void SetRecording(bool on);
    int RangeIndex() const;
    void SetRangeIndex(int index);
    std::optional<double> Threshold() const { return alarm_.Threshold(); }
    void SetThreshold(std::optional<double> usvPerHour);
    // The readings of the range shown, oldest first.
    std::vector<LiveReading> ShownReadings() const;
    LivePlotWidget* Plot() const { return plot_; }

    // Called when the user changes an option, and for Save CSV.
    std::function<void()> optionsChanged;
    std::function<void()> saveCsvClicked;

  private:
    void Redraw();
    void ThresholdEdited();
    std::optional<double> PlottedThreshold() const;

    LiveSeries series_;
    std::vector<LiveReading> readings_;  // beside the series, for the CSV
    RateAlarm alarm_;
    int units_ = -1;
    LivePlotWidget* plot_ = nullptr;
    QComboBox* range_ = nullptr;
    QCheckBox* record_ = nullptr;
    QPushButton* saveCsv_ = nullptr;
    QCheckBox* alarmOn_ = nullptr;
    QDoubleSpinBox* alarmValue_ = nullptr;
    QLabel* alarmUnit_ = nullptr;
    QTimer* clock_ = nullptr;
};
