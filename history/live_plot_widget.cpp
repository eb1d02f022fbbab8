#include "history/live_plot_widget.h"

#include <QDateTime>
#include <QPainter>
#include <QPolygonF>
#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr int kLeft = 64;
constexpr int kRight = 12;
constexpr int kTop = 22;
constexpr int kBottom = 26;

// A round upper edge: 1, 2 or 5 times a power of ten at or above `value`.
double NiceTop(double value) {
    if (value <= 0) {
        return 1;
    }
    const double power = std::pow(10.0, std::floor(std::log10(value)));
    for (const double step : {1.0, 2.0, 5.0, 10.0}) {
        if (value <= step * power) {
            return step * power;
        }
    }
    return 10 * power;
}

// Time axis steps: the first that leaves at most eight labels.
std::int64_t LabelStep(std::int64_t spanMs) {
    for (const std::int64_t minutes : {1, 2, 5, 10, 15, 30, 60, 120, 180, 360}) {
        if (spanMs / (minutes * 60'000) <= 8) {
            return minutes * 60'000;
        }
    }
    return 720 * 60'000;
}

// A value text with the decimal comma of every value the program shows.
QString ValueText(double value, int digits) {
    return QString::number(value, 'g', digits).replace('.', ',');
}

}  // namespace

LivePlotWidget::LivePlotWidget(const LiveSeries& series, QWidget* parent)
    : QWidget(parent), series_(series) {
    setMinimumHeight(120);
}

void LivePlotWidget::SetRange(std::int64_t endMs, std::int64_t spanMs) {
    endMs_ = endMs;
    spanMs_ = spanMs;
    update();
}

void LivePlotWidget::SetUnitName(const QString& name) {
    unit_ = name;
    update();
}

void LivePlotWidget::SetPeakLabel(const QString& label) {
    peakLabel_ = label;
    update();
}

void LivePlotWidget::SetThreshold(std::optional<double> value) {
    threshold_ = value;
    update();
}

bool LivePlotWidget::SavePng(const QString& path) {
    return grab().save(path, "PNG");
}

void LivePlotWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    const QRect plot(kLeft, kTop, std::max(width() - kLeft - kRight, 1),
                     std::max(height() - kTop - kBottom, 1));
    const std::int64_t from = endMs_ - spanMs_;
    const std::vector<LiveSeries::Column> columns = series_.Reduce(from, endMs_, plot.width());
    const std::optional<LiveSeries::Point> peak = series_.Peak(from, endMs_);
    const double top = NiceTop(std::max(peak ? peak->value : 0.0, threshold_.value_or(0.0)) * 1.1);
    const auto y = [&](double value) {
        return plot.bottom() - static_cast<int>(std::lround(value / top * plot.height()));
    };
    const auto x = [&](std::int64_t timeMs) {
        return plot.left() + static_cast<int>((timeMs - from) * plot.width() /
                                              std::max<std::int64_t>(spanMs_, 1));
    };

    painter.setPen(QColor(0xC0, 0xC0, 0xC0));
    for (int line = 0; line <= 4; ++line) {
        const double value = top * line / 4;
        painter.drawLine(plot.left(), y(value), plot.right(), y(value));
        painter.setPen(Qt::black);
        painter.drawText(QRect(0, y(value) - 8, kLeft - 4, 16), Qt::AlignRight | Qt::AlignVCenter,
                         ValueText(value, 3));
        painter.setPen(QColor(0xC0, 0xC0, 0xC0));
    }
    const std::int64_t step = LabelStep(spanMs_);
    const std::int64_t offset = QDateTime::currentDateTime().offsetFromUtc() * 1000LL;
    for (std::int64_t tick = ((from + offset) / step + 1) * step - offset; tick < endMs_;
         tick += step) {
        painter.setPen(QColor(0xE0, 0xE0, 0xE0));
        painter.drawLine(x(tick), plot.top(), x(tick), plot.bottom());
        painter.setPen(Qt::black);
        const QString label =
            QDateTime::fromMSecsSinceEpoch(tick).toString(QStringLiteral("HH:mm"));
        painter.drawText(QRect(x(tick) - 30, plot.bottom() + 4, 60, 18), Qt::AlignCenter, label);
    }
    painter.setPen(Qt::black);
    painter.drawRect(plot);
    painter.drawText(QRect(4, 2, width() - 8, kTop - 4), Qt::AlignLeft | Qt::AlignVCenter, unit_);
    if (peak) {
        painter.drawText(QRect(4, 2, width() - 8, kTop - 4), Qt::AlignRight | Qt::AlignVCenter,
                         peakLabel_ + QStringLiteral(" ") + ValueText(peak->value, 4));
    }

    // The readings: a vertical stroke per column, joined to the column before;
    // nothing of them beyond the frame.
    painter.setClipRect(plot);
    const QColor reading(0x1F, 0x5F, 0xBF);
    int previous = -1;
    for (int column = 0; column < static_cast<int>(columns.size()); ++column) {
        const LiveSeries::Column& c = columns[static_cast<std::size_t>(column)];
        if (c.empty) {
            continue;
        }
        const int px = plot.left() + column;
        painter.setPen(c.alarm ? Qt::red : reading);
        if (c.joined && previous >= 0) {
            const LiveSeries::Column& p = columns[static_cast<std::size_t>(previous)];
            painter.drawLine(plot.left() + previous, y((p.min + p.max) / 2), px,
                             y((c.min + c.max) / 2));
        }
        painter.drawLine(px, y(c.min), px, y(c.max));
        if (c.alarm || !c.joined) {
            painter.drawEllipse(QPoint(px, y(c.max)), 2, 2);
        }
        previous = column;
    }

    // The minute means as runs of joined points, one point per pixel column:
    // a day has more minutes than the plot has columns.
    std::vector<QPolygonF> means;
    for (const LiveSeries::Mean& mean : series_.MinuteMeans(from, endMs_)) {
        const QPointF point(x(mean.timeMs), y(mean.value));
        if (!mean.joined || means.empty()) {
            means.emplace_back();
        }
        if (means.back().isEmpty() || means.back().back().x() != point.x()) {
            means.back().append(point);
        }
    }
    // Two pixels wide as two lines of one: the raster engine strokes a wider
    // pen some ten times slower, beyond a frame's time for a day's means.
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0xE0, 0x80, 0x00), 1));
    for (const QPolygonF& run : means) {
        painter.drawPolyline(run);
        painter.drawPolyline(run.translated(0, 1));
    }

    if (threshold_) {
        painter.setPen(QPen(Qt::red, 1, Qt::DashLine));
        painter.drawLine(plot.left(), y(*threshold_), plot.right(), y(*threshold_));
    }
}
