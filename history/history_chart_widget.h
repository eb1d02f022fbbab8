#pragma once

#include <QColor>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <array>
#include <vector>

// The history bar chart: three bar series drawn over each other at the same
// positions (Series1 behind, Series3 in front), every point in its own colour,
// title lines above, a category label under each bar, a tooltip per bar and a
// signal when a bar of Series1 or Series2 is double-clicked.
class HistoryChartWidget : public QWidget {
    Q_OBJECT

  public:
    static constexpr int kSeriesCount = 3;

    explicit HistoryChartWidget(QWidget* parent = nullptr);

    void ClearSeries(int series);
    // Points are placed by their order: the n-th point of every series sits at bar n.
    void AddPoint(int series, double value, const QString& label, const QColor& color);
    void ClearTitle();
    void AddTitleLine(const QString& line);
    void SetBarToolTip(int bar, const QString& text);

    QStringList TitleLines() const { return title_; }
    int PointCount(int series) const;
    double PointValue(int series, int bar) const;
    QColor PointColor(int series, int bar) const;
    QString BarLabel(int bar) const;
    QString BarToolTip(int bar) const;
    // The bar under a point of the widget, or -1.
    int BarAt(const QPoint& position) const;
    // Where bar `bar` is drawn (its column, from the base line up to its tallest point).
    QRect BarRect(int bar) const;

    bool SavePng(const QString& path);
    QSize sizeHint() const override { return {760, 420}; }

  signals:
    void BarDoubleClicked(int bar);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;

  private:
    struct Point {
        double value = 0;
        QColor color;
    };
    struct Layout {
        QRect plot;
        double top = 1;  // value at the plot's upper edge
    };

    int BarCount() const;
    Layout Compute() const;
    int ValueToY(const Layout& layout, double value) const;
    QRect Column(const Layout& layout, int bar) const;
    void PaintAxis(QPainter& painter, const Layout& layout) const;
    void PaintBars(QPainter& painter, const Layout& layout) const;
    void PaintLabels(QPainter& painter, const Layout& layout) const;

    std::array<std::vector<Point>, kSeriesCount> series_;
    std::vector<QString> labels_;
    std::vector<QString> toolTips_;
    QStringList title_;
};
