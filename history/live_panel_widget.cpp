#include "history/live_panel_widget.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "base/language.h"
#include "history/live_plot_widget.h"
#include "protocol/units.h"

namespace {

QString Text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

}  // namespace

LivePanelWidget::LivePanelWidget(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("LivePanel"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    auto* row = new QHBoxLayout;
    range_ = new QComboBox(this);
    range_->setObjectName(QStringLiteral("ComboBox_Measure_Range"));
    range_->addItems({QString(), QString(), QString()});
    record_ = new QCheckBox(this);
    record_->setObjectName(QStringLiteral("CheckBox_Measure_Record"));
    record_->setChecked(true);
    saveCsv_ = new QPushButton(this);
    saveCsv_->setObjectName(QStringLiteral("BitBtn_Measure_SaveCsv"));
    alarmOn_ = new QCheckBox(this);
    alarmOn_->setObjectName(QStringLiteral("CheckBox_Measure_Alarm"));
    alarmValue_ = new QDoubleSpinBox(this);
    alarmValue_->setObjectName(QStringLiteral("Edit_Measure_Alarm"));
    // The decimal comma of every value the program shows.
    alarmValue_->setLocale(QLocale(QLocale::Russian, QLocale::Russia));
    alarmValue_->setRange(0.01, 100000.0);
    alarmValue_->setDecimals(2);
    alarmValue_->setValue(0.3);
    alarmValue_->setEnabled(false);
    alarmUnit_ = new QLabel(this);
    for (QWidget* widget : std::initializer_list<QWidget*>{range_, record_, saveCsv_, alarmOn_,
                                                           alarmValue_, alarmUnit_}) {
        row->addWidget(widget);
    }
    row->addStretch();
    column->addLayout(row);
    plot_ = new LivePlotWidget(series_, this);
    plot_->setObjectName(QStringLiteral("Chart_Measure_Rate"));
    column->addWidget(plot_, 1);

    connect(range_, &QComboBox::currentIndexChanged, this, [this] {
        Redraw();
        if (optionsChanged) {
            optionsChanged();
        }
    });
    connect(record_, &QCheckBox::toggled, this, [this] {
        if (optionsChanged) {
            optionsChanged();
        }
    });
    connect(saveCsv_, &QPushButton::clicked, this, [this] {
        if (saveCsvClicked) {
            saveCsvClicked();
        }
    });
    connect(alarmOn_, &QCheckBox::toggled, this, &LivePanelWidget::ThresholdEdited);
    connect(alarmValue_, &QDoubleSpinBox::editingFinished, this, &LivePanelWidget::ThresholdEdited);
    // The time axis moves on while nothing is read, so a gap shows as one.
    clock_ = new QTimer(this);
    connect(clock_, &QTimer::timeout, this, &LivePanelWidget::Redraw);
    clock_->start(1000);
    Relabel();
}

void LivePanelWidget::Relabel() {
    range_->setItemText(0, Text(PickText("10 минут", "10 minutes")));
    range_->setItemText(1, Text(PickText("1 час", "1 hour")));
    range_->setItemText(2, Text(PickText("24 часа", "24 hours")));
    record_->setText(Text(PickText("Записывать", "Record")));
    saveCsv_->setText(Text(PickText("Сохранить CSV", "Save CSV")));
    alarmOn_->setText(Text(PickText("Тревога от", "Alarm at")));
    alarmUnit_->setText(Text(RateUnitName(static_cast<int>(UnitSystem::Sievert), 0)));
    plot_->SetPeakLabel(Text(PickText("Максимум:", "Peak:")));
    plot_->SetUnitName(units_ < 0 ? QString() : Text(LiveUnitText(units_)));
}

void LivePanelWidget::ShowEarlier(const std::vector<LiveReading>& readings) {
    series_.Clear();
    readings_.clear();
    units_ = -1;
    for (const LiveReading& reading : readings) {
        if (reading.units != units_) {
            series_.Clear();
            readings_.clear();
            units_ = reading.units;
        }
        series_.Add({reading.timeMs, DisplayedRate(reading), alarm_.Above(reading)});
        readings_.push_back(reading);
    }
    Relabel();
    Redraw();
}

bool LivePanelWidget::Add(const LiveReading& reading) {
    if (reading.units != units_) {
        // The device's unit changed: one unit per plot.
        series_.Clear();
        readings_.clear();
        units_ = reading.units;
        Relabel();
    }
    series_.Add({reading.timeMs, DisplayedRate(reading), alarm_.Above(reading)});
    readings_.push_back(reading);
    const std::int64_t oldest = reading.timeMs - LiveSeries::kKeepMs;
    readings_.erase(readings_.begin(),
                    std::find_if(readings_.begin(), readings_.end(),
                                 [oldest](const LiveReading& r) { return r.timeMs >= oldest; }));
    Redraw();
    return alarm_.Crossed(reading);
}

bool LivePanelWidget::Recording() const {
    return record_->isChecked();
}

void LivePanelWidget::SetRecording(bool on) {
    record_->setChecked(on);
}

int LivePanelWidget::RangeIndex() const {
    return range_->currentIndex();
}

void LivePanelWidget::SetRangeIndex(int index) {
    range_->setCurrentIndex(std::clamp(index, 0, 2));
}

void LivePanelWidget::SetThreshold(std::optional<double> usvPerHour) {
    alarmOn_->setChecked(usvPerHour.has_value());
    if (usvPerHour) {
        alarmValue_->setValue(*usvPerHour);
    }
    ThresholdEdited();
}

void LivePanelWidget::ThresholdEdited() {
    alarmValue_->setEnabled(alarmOn_->isChecked());
    const std::optional<double> threshold =
        alarmOn_->isChecked() ? std::optional<double>(alarmValue_->value()) : std::nullopt;
    if (threshold != alarm_.Threshold()) {
        alarm_.SetThreshold(threshold);
        if (optionsChanged) {
            optionsChanged();
        }
    }
    Redraw();
}

std::optional<double> LivePanelWidget::PlottedThreshold() const {
    const std::optional<double> threshold = alarm_.Threshold();
    if (!threshold || units_ < 0 || units_ >= static_cast<int>(UnitSystem::Counts)) {
        return std::nullopt;
    }
    // In the page's unit: µSv/h as it is, µR/h a hundred times more.
    return units_ == static_cast<int>(UnitSystem::Sievert) ? *threshold : *threshold * 100.0;
}

std::vector<LiveReading> LivePanelWidget::ShownReadings() const {
    const std::int64_t from = plot_->EndMs() - plot_->SpanMs();
    std::vector<LiveReading> shown;
    std::copy_if(readings_.begin(), readings_.end(), std::back_inserter(shown),
                 [from](const LiveReading& r) { return r.timeMs >= from; });
    return shown;
}

void LivePanelWidget::Redraw() {
    plot_->SetThreshold(PlottedThreshold());
    plot_->SetRange(QDateTime::currentMSecsSinceEpoch() + 1,
                    kRangesMs[std::clamp(range_->currentIndex(), 0, 2)]);
}
