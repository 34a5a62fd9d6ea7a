// The small pictures of the back-test room's checks: a histogram with the real result marked, a
// scatter with its fitted line, and the totals of "多次" as dots against their own chance bands.
// Each paints only the values it was given, with the numbers at its edges that read it.
#pragma once

#include <QPointF>
#include <QString>
#include <QWidget>
#include <optional>
#include <vector>

#include "backtest/chance.h"
#include "backtest/histogram.h"

class QPainter;

namespace xuan5::ui {

// The frame, margins and edge numbers the pictures share.
class StatPlot : public QWidget {
    Q_OBJECT
  public:
    explicit StatPlot(QWidget* parent = nullptr);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    // The plotting area inside the margins that hold the edge numbers.
    QRectF Area() const;
    // Paints the background, the frame and `caption` above it.
    void PaintFrame(QPainter& painter, const QString& caption) const;
};

class HistogramPlot : public StatPlot {
    Q_OBJECT
  public:
    using StatPlot::StatPlot;
    // `marked` (the real result) as a red line; its text says what it is.
    void SetHistogram(const QString& caption, const Histogram& histogram,
                      std::optional<double> marked, const QString& markText);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QString caption_;
    Histogram histogram_;
    std::optional<double> marked_;
    QString markText_;
};

class ScatterPlot : public StatPlot {
    Q_OBJECT
  public:
    using StatPlot::StatPlot;
    // The points and the line y = intercept + slope * x.
    void SetPoints(const QString& caption, std::vector<QPointF> points, double slope,
                   double intercept);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QString caption_;
    std::vector<QPointF> points_;
    double slope_ = 0;
    double intercept_ = 0;
    double xLo_ = 0, xHi_ = 0, yLo_ = 0, yHi_ = 0;  // the points' ranges
};

class SeedsPlot : public StatPlot {
    Q_OBJECT
  public:
    using StatPlot::StatPlot;
    // Seed `first + i` at column i: its band from Low() to High() in grey, its total as a dot,
    // red above the band, blue below, black within.
    void SetSeeds(const std::vector<long long>& totals, const std::vector<ChanceBand>& bands,
                  std::uint64_t first);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    std::vector<long long> totals_;
    std::vector<ChanceBand> bands_;
    std::uint64_t first_ = 0;
};

}  // namespace xuan5::ui
