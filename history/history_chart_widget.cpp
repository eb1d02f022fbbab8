#include "history/history_chart_widget.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <algorithm>
#include <cmath>

namespace {

constexpr int kMargin = 8;
constexpr int kAxisWidth = 56;
constexpr int kLabelHeight = 20;
constexpr int kTicks = 5;
// Low bars stay clickable however tall the scale is.
constexpr int kMinHitHeight = 8;

// 1, 2 or 5 times a power of ten at or above `value`.
double NiceCeiling(double value) {
    if (value <= 1) {
        return 1;
    }
    const double power = std::pow(10.0, std::floor(std::log10(value)));
    for (double step : {1.0, 2.0, 5.0, 10.0}) {
        if (value <= step * power) {
            return step * power;
        }
    }
    return 10 * power;
}

}  // namespace

HistoryChartWidget::HistoryChartWidget(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setMinimumSize(320, 200);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void HistoryChartWidget::ClearSeries(int series) {
    if (series < 0 || series >= kSeriesCount) {
        return;
    }
    series_[static_cast<std::size_t>(series)].clear();
    const int bars = BarCount();
    labels_.resize(static_cast<std::size_t>(bars));
    toolTips_.resize(static_cast<std::size_t>(bars));
    update();
}

void HistoryChartWidget::AddPoint(int series, double value, const QString& label,
                                  const QColor& color) {
    if (series < 0 || series >= kSeriesCount) {
        return;
    }
    auto& points = series_[static_cast<std::size_t>(series)];
    points.push_back({value, color});
    if (labels_.size() < points.size()) {
        labels_.resize(points.size());
        toolTips_.resize(points.size());
    }
    labels_[points.size() - 1] = label;
    update();
}

void HistoryChartWidget::ClearTitle() {
    title_.clear();
    update();
}

void HistoryChartWidget::AddTitleLine(const QString& line) {
    title_.append(line);
    update();
}

void HistoryChartWidget::SetBarToolTip(int bar, const QString& text) {
    if (bar >= 0 && static_cast<std::size_t>(bar) < toolTips_.size()) {
        toolTips_[static_cast<std::size_t>(bar)] = text;
    }
}

int HistoryChartWidget::PointCount(int series) const {
    return series >= 0 && series < kSeriesCount
               ? static_cast<int>(series_[static_cast<std::size_t>(series)].size())
               : 0;
}

double HistoryChartWidget::PointValue(int series, int bar) const {
    return bar >= 0 && bar < PointCount(series)
               ? series_[static_cast<std::size_t>(series)][static_cast<std::size_t>(bar)].value
               : 0;
}

QColor HistoryChartWidget::PointColor(int series, int bar) const {
    return bar >= 0 && bar < PointCount(series)
               ? series_[static_cast<std::size_t>(series)][static_cast<std::size_t>(bar)].color
               : QColor();
}

QString HistoryChartWidget::BarLabel(int bar) const {
    return bar >= 0 && static_cast<std::size_t>(bar) < labels_.size()
               ? labels_[static_cast<std::size_t>(bar)]
               : QString();
}

QString HistoryChartWidget::BarToolTip(int bar) const {
    return bar >= 0 && static_cast<std::size_t>(bar) < toolTips_.size()
               ? toolTips_[static_cast<std::size_t>(bar)]
               : QString();
}

int HistoryChartWidget::BarCount() const {
    std::size_t bars = 0;
    for (const auto& points : series_) {
        bars = std::max(bars, points.size());
    }
    return static_cast<int>(bars);
}

HistoryChartWidget::Layout HistoryChartWidget::Compute() const {
    Layout layout;
    const int titleHeight = fontMetrics().lineSpacing() * static_cast<int>(title_.size());
    layout.plot = QRect(kMargin + kAxisWidth, kMargin + titleHeight + kMargin,
                        width() - 2 * kMargin - kAxisWidth,
                        height() - 3 * kMargin - titleHeight - kLabelHeight);
    double highest = 1;
    for (const auto& points : series_) {
        for (const Point& point : points) {
            highest = std::max(highest, point.value);
        }
    }
    layout.top = NiceCeiling(highest);
    return layout;
}

int HistoryChartWidget::ValueToY(const Layout& layout, double value) const {
    const double share = std::clamp(value / layout.top, 0.0, 1.0);
    return layout.plot.bottom() - static_cast<int>(std::lround(share * layout.plot.height()));
}

QRect HistoryChartWidget::Column(const Layout& layout, int bar) const {
    const int bars = std::max(1, BarCount());
    const double slot = static_cast<double>(layout.plot.width()) / bars;
    const int left = layout.plot.left() + static_cast<int>(std::lround(bar * slot + slot * 0.1));
    const int right =
        layout.plot.left() + static_cast<int>(std::lround((bar + 1) * slot - slot * 0.1));
    return QRect(QPoint(left, layout.plot.top()),
                 QPoint(std::max(left, right - 1), layout.plot.bottom()));
}

QRect HistoryChartWidget::BarRect(int bar) const {
    const Layout layout = Compute();
    const QRect column = Column(layout, bar);
    const double tallest = std::max(PointValue(0, bar), PointValue(1, bar));
    const int top = std::min(ValueToY(layout, tallest), layout.plot.bottom() - kMinHitHeight);
    return QRect(QPoint(column.left(), top), QPoint(column.right(), layout.plot.bottom()));
}

int HistoryChartWidget::BarAt(const QPoint& position) const {
    for (int bar = 0; bar < BarCount(); ++bar) {
        if (BarRect(bar).contains(position)) {
            return bar;
        }
    }
    return -1;
}

void HistoryChartWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    const Layout layout = Compute();
    painter.setPen(Qt::black);
    int y = kMargin;
    for (const QString& line : title_) {
        painter.drawText(QRect(0, y, width(), fontMetrics().lineSpacing()), Qt::AlignCenter, line);
        y += fontMetrics().lineSpacing();
    }
    if (layout.plot.width() <= 0 || layout.plot.height() <= 0) {
        return;
    }
    PaintAxis(painter, layout);
    PaintBars(painter, layout);
    PaintLabels(painter, layout);
}

void HistoryChartWidget::PaintAxis(QPainter& painter, const Layout& layout) const {
    painter.setPen(QColor(0xD0, 0xD0, 0xD0));
    for (int tick = 0; tick <= kTicks; ++tick) {
        const double value = layout.top * tick / kTicks;
        const int y = ValueToY(layout, value);
        painter.drawLine(layout.plot.left(), y, layout.plot.right(), y);
        painter.setPen(Qt::black);
        painter.drawText(QRect(kMargin, y - 10, kAxisWidth - 6, 20),
                         Qt::AlignRight | Qt::AlignVCenter, QString::number(value, 'g', 6));
        painter.setPen(QColor(0xD0, 0xD0, 0xD0));
    }
    painter.setPen(Qt::black);
    painter.drawLine(layout.plot.bottomLeft(), layout.plot.bottomRight());
    painter.drawLine(layout.plot.bottomLeft(), layout.plot.topLeft());
}

void HistoryChartWidget::PaintBars(QPainter& painter, const Layout& layout) const {
    painter.setPen(Qt::NoPen);
    for (const auto& points : series_) {
        for (std::size_t bar = 0; bar < points.size(); ++bar) {
            const QRect column = Column(layout, static_cast<int>(bar));
            const int top = ValueToY(layout, points[bar].value);
            // A bar of any positive height shows at least one pixel.
            const int height = std::max(points[bar].value > 0 ? 1 : 0, layout.plot.bottom() - top);
            painter.fillRect(
                QRect(column.left(), layout.plot.bottom() - height + 1, column.width(), height),
                points[bar].color);
        }
    }
}

void HistoryChartWidget::PaintLabels(QPainter& painter, const Layout& layout) const {
    painter.setPen(Qt::black);
    const int bars = BarCount();
    if (bars == 0) {
        return;
    }
    const int widest = fontMetrics().horizontalAdvance(QStringLiteral("00")) + 4;
    const double slot = static_cast<double>(layout.plot.width()) / bars;
    const int every = std::max(1, static_cast<int>(std::ceil(widest / slot)));
    for (int bar = 0; bar < bars; bar += every) {
        const QRect column = Column(layout, bar);
        const int centre = column.center().x();
        painter.drawText(QRect(centre - widest, layout.plot.bottom() + 2, 2 * widest, kLabelHeight),
                         Qt::AlignHCenter | Qt::AlignTop, BarLabel(bar));
    }
}

void HistoryChartWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    const int bar = BarAt(event->position().toPoint());
    if (bar >= 0) {
        emit BarDoubleClicked(bar);
    }
}

bool HistoryChartWidget::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QString text = BarToolTip(BarAt(help->pos()));
        if (!text.isEmpty()) {
            QToolTip::showText(help->globalPos(), text, this);
        } else {
            QToolTip::hideText();
            event->ignore();
        }
        return true;
    }
    return QWidget::event(event);
}

bool HistoryChartWidget::SavePng(const QString& path) {
    if (!testAttribute(Qt::WA_Resized)) {
        resize(sizeHint());
    }
    QImage image(size(), QImage::Format_RGB32);
    render(&image);
    return image.save(path, "PNG");
}
