// The chart surface `Pic`: shows a ChartPicture in its logical coordinates (X 0..130 left to
// right, Y +R at the top to -R at the bottom, the axis labels in a column of their own) plus the
// segments drawn on it since, and reports mouse presses and moves in the same coordinates.
// Everything is painted from this state, so a resize or an uncovered window shows the same picture.
#pragma once

#include <QPointF>
#include <QRectF>
#include <QWidget>
#include <vector>

#include "curves/chart.h"

namespace xuan5::ui {

class ChartWidget : public QWidget {
    Q_OBJECT
  public:
    explicit ChartWidget(QWidget* parent = nullptr);

    // Replaces the whole picture (and forgets the segments drawn on the previous one).
    void SetPicture(ChartPicture picture);
    // Draws on top of the current picture.
    void AddLines(const std::vector<ChartLine>& lines);
    void AddLine(const ChartLine& line) { AddLines({line}); }

    const ChartPicture& Picture() const { return picture_; }
    const std::vector<ChartLine>& ExtraLines() const { return extra_; }

    // The chart takes the surface less a column on its left for the axis labels (so no bar
    // covers one) and half a label's height above and below.
    QPointF ToLogical(QPointF pixel) const;
    QPointF ToPixel(double x, double y) const;
    // The labels painted at the current size: as many axis labels as fit without overlapping.
    std::vector<ChartLabel> ShownLabels() const;

  signals:
    void mouseDown(double x, double y);
    void mouseMoved(double x, double y);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    QRectF PlotArea() const;
    // The width of the axis labels' column, measured when the picture or the font changes
    // rather than at every point painted.
    void MeasureGutter();

    ChartPicture picture_;
    int gutter_ = 0;
    std::vector<ChartLine> extra_;
};

}  // namespace xuan5::ui
