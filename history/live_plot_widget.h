#pragma once

#include <QString>
#include <QWidget>
#include <cstdint>
#include <optional>

#include "history/live_series.h"

// The dose-rate plot: the series' readings of the shown range reduced to one
// min/max pair per pixel column (red where at or above the alarm), the
// one-minute mean line, the range's peak, the alarm threshold, the unit's name
// on the value axis and the PC's local time on the time axis.
class LivePlotWidget : public QWidget {
  public:
    LivePlotWidget(const LiveSeries& series, QWidget* parent = nullptr);

    // The range shown ends at `endMs` (UTC) and spans `spanMs`.
    void SetRange(std::int64_t endMs, std::int64_t spanMs);
    void SetUnitName(const QString& name);
    void SetPeakLabel(const QString& label);
    // In the plotted unit; none draws no line.
    void SetThreshold(std::optional<double> value);

    std::int64_t EndMs() const { return endMs_; }
    std::int64_t SpanMs() const { return spanMs_; }
    QString UnitName() const { return unit_; }
    bool SavePng(const QString& path);
    QSize sizeHint() const override { return {760, 260}; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    const LiveSeries& series_;
    std::int64_t endMs_ = 0;
    std::int64_t spanMs_ = 600'000;
    QString unit_;
    QString peakLabel_;
    std::optional<double> threshold_;
};
