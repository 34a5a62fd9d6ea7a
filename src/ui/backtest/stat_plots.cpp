#include "ui/backtest/stat_plots.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <tuple>

namespace xuan5::ui {

namespace {

// A value at an edge: whole numbers for counts and wide ranges, two decimals for narrow ones.
QString EdgeText(double value, double span, bool whole = false) {
    return QString::number(value, 'f', whole || std::abs(span) >= 20 ? 0 : 2);
}

// Maps [lo, hi] onto [from, to].
double Scale(double v, double lo, double hi, double from, double to) {
    return hi > lo ? from + (v - lo) / (hi - lo) * (to - from) : (from + to) / 2;
}

// The range of some values, widened to hold `also` and never empty.
std::pair<double, double> RangeOf(const std::vector<double>& values, double also) {
    double lo = also;
    double hi = also;
    for (double v : values) {
        lo = std::min(lo, v);
        hi = std::max(hi, v);
    }
    if (hi == lo) hi = lo + 1;
    return {lo, hi};
}

// The numbers of a range at the left edge (top and bottom) and the bottom edge (left, right).
void PaintEdges(QPainter& painter, const QRectF& area, double xLo, double xHi, double yLo,
                double yHi, bool withX, bool wholeY = false) {
    const QFontMetrics fm = painter.fontMetrics();
    painter.setPen(Qt::black);
    const double left = area.left() - 4;
    painter.drawText(QRectF(0, area.top() - fm.height() / 2.0, left, fm.height()),
                     Qt::AlignRight | Qt::AlignVCenter, EdgeText(yHi, yHi - yLo, wholeY));
    painter.drawText(QRectF(0, area.bottom() - fm.height() / 2.0, left, fm.height()),
                     Qt::AlignRight | Qt::AlignVCenter, EdgeText(yLo, yHi - yLo, wholeY));
    if (!withX) return;
    const QRectF below(area.left(), area.bottom() + 2, area.width(), fm.height());
    painter.drawText(below, Qt::AlignLeft | Qt::AlignTop, EdgeText(xLo, xHi - xLo));
    painter.drawText(below, Qt::AlignRight | Qt::AlignTop, EdgeText(xHi, xHi - xLo));
}

}  // namespace

StatPlot::StatPlot(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

QSize StatPlot::sizeHint() const {
    return {fontMetrics().horizontalAdvance(QLatin1Char('0')) * 40, fontMetrics().height() * 9};
}

QSize StatPlot::minimumSizeHint() const {
    return {fontMetrics().horizontalAdvance(QLatin1Char('0')) * 20, fontMetrics().height() * 6};
}

QRectF StatPlot::Area() const {
    const QFontMetrics fm = fontMetrics();
    const double left = fm.horizontalAdvance(QStringLiteral("-000000")) + 6;
    // The caption's line, and half a line for the top number that stands centred on the edge.
    const double line = fm.height() + 2;
    const double top = line + fm.height() / 2.0;
    return QRectF(left, top, std::max(1.0, width() - left - 8),
                  std::max(1.0, height() - top - line - 2));
}

void StatPlot::PaintFrame(QPainter& painter, const QString& caption) const {
    painter.fillRect(rect(), Qt::white);
    painter.setPen(QColor(160, 160, 160));
    painter.drawRect(Area());
    painter.setPen(Qt::black);
    painter.drawText(QRectF(0, 0, width(), fontMetrics().height() + 2), Qt::AlignCenter, caption);
}

void HistogramPlot::SetHistogram(const QString& caption, const Histogram& histogram,
                                 std::optional<double> marked, const QString& markText) {
    caption_ = caption;
    histogram_ = histogram;
    marked_ = marked;
    markText_ = markText;
    update();
}

void HistogramPlot::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    PaintFrame(painter, caption_);
    const QRectF area = Area();
    if (histogram_.counts.empty()) return;
    const int most =
        std::max(1, *std::max_element(histogram_.counts.begin(), histogram_.counts.end()));
    const double bar = area.width() / static_cast<double>(histogram_.counts.size());
    painter.setPen(QColor(70, 100, 170));
    for (std::size_t i = 0; i < histogram_.counts.size(); ++i) {
        const double h = area.height() * histogram_.counts[i] / most;
        painter.fillRect(
            QRectF(area.left() + static_cast<double>(i) * bar, area.bottom() - h, bar, h),
            QColor(120, 160, 230));
    }
    PaintEdges(painter, area, histogram_.low, histogram_.high, 0, most, true, true);
    if (!marked_) return;
    const double x = Scale(*marked_, histogram_.low, histogram_.high, area.left(), area.right());
    painter.setPen(QPen(Qt::red, 2));
    painter.drawLine(QPointF(x, area.top()), QPointF(x, area.bottom()));
    const QFontMetrics fm = painter.fontMetrics();
    const double textWidth = fm.horizontalAdvance(markText_) + 4;
    const double textLeft = x + textWidth + 2 < area.right() ? x + 2 : x - textWidth - 2;
    painter.drawText(QRectF(textLeft, area.top() + 2, textWidth, fm.height()), Qt::AlignCenter,
                     markText_);
}

void ScatterPlot::SetPoints(const QString& caption, std::vector<QPointF> points, double slope,
                            double intercept) {
    caption_ = caption;
    points_ = std::move(points);
    slope_ = slope;
    intercept_ = intercept;
    // The ranges are the points', read once here rather than at every paint.
    std::vector<double> xs;
    std::vector<double> ys;
    xs.reserve(points_.size());
    ys.reserve(points_.size());
    for (const QPointF& p : points_) {
        xs.push_back(p.x());
        ys.push_back(p.y());
    }
    if (!points_.empty()) {
        std::tie(xLo_, xHi_) = RangeOf(xs, xs.front());
        std::tie(yLo_, yHi_) = RangeOf(ys, 0);
    }
    update();
}

void ScatterPlot::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    PaintFrame(painter, caption_);
    if (points_.empty()) return;
    const QRectF area = Area();
    const double xLo = xLo_, xHi = xHi_, yLo = yLo_, yHi = yHi_;
    const auto at = [&](double x, double y) {
        return QPointF(Scale(x, xLo, xHi, area.left(), area.right()),
                       Scale(y, yLo, yHi, area.bottom(), area.top()));
    };
    painter.setPen(QColor(200, 200, 200));
    painter.drawLine(at(xLo, 0), at(xHi, 0));
    painter.setClipRect(area);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(60, 90, 200, 60));
    for (const QPointF& p : points_) painter.drawEllipse(at(p.x(), p.y()), 2, 2);
    painter.setPen(QPen(Qt::red, 2));
    painter.drawLine(at(xLo, intercept_ + slope_ * xLo), at(xHi, intercept_ + slope_ * xHi));
    painter.setClipping(false);
    PaintEdges(painter, area, xLo, xHi, yLo, yHi, true);
}

void SeedsPlot::SetSeeds(const std::vector<long long>& totals, const std::vector<ChanceBand>& bands,
                         std::uint64_t first) {
    totals_ = totals;
    bands_ = bands;
    first_ = first;
    update();
}

void SeedsPlot::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    PaintFrame(painter, QStringLiteral("各种子的累计（点）与它自己的机会范围±2σ（灰）"));
    if (totals_.empty() || totals_.size() != bands_.size()) return;
    const QRectF area = Area();
    std::vector<double> values;
    for (std::size_t i = 0; i < totals_.size(); ++i) {
        values.push_back(static_cast<double>(totals_[i]));
        values.push_back(bands_[i].Low());
        values.push_back(bands_[i].High());
    }
    const auto [lo, hi] = RangeOf(values, 0);
    const auto y = [&](double v) { return Scale(v, lo, hi, area.bottom(), area.top()); };
    const double column = area.width() / static_cast<double>(totals_.size());
    painter.setPen(QColor(200, 200, 200));
    painter.drawLine(QPointF(area.left(), y(0)), QPointF(area.right(), y(0)));
    painter.setRenderHint(QPainter::Antialiasing);
    const double dot = std::clamp(column / 3, 1.5, 4.0);
    for (std::size_t i = 0; i < totals_.size(); ++i) {
        const double x = area.left() + (static_cast<double>(i) + 0.5) * column;
        painter.setPen(QPen(QColor(170, 170, 170), std::clamp(column / 4, 1.0, 3.0)));
        painter.drawLine(QPointF(x, y(bands_[i].Low())), QPointF(x, y(bands_[i].High())));
        const ChanceVerdict verdict = bands_[i].verdict;
        painter.setPen(Qt::NoPen);
        painter.setBrush(verdict == ChanceVerdict::Above   ? QColor(Qt::red)
                         : verdict == ChanceVerdict::Below ? QColor(Qt::blue)
                                                           : QColor(Qt::black));
        painter.drawEllipse(QPointF(x, y(static_cast<double>(totals_[i]))), dot, dot);
    }
    PaintEdges(painter, area, 0, 0, lo, hi, false);
    const QFontMetrics fm = painter.fontMetrics();
    const QRectF below(area.left(), area.bottom() + 2, area.width(), fm.height());
    painter.setPen(Qt::black);
    painter.drawText(below, Qt::AlignLeft | Qt::AlignTop, QStringLiteral("种子%1").arg(first_));
    painter.drawText(below, Qt::AlignRight | Qt::AlignTop,
                     QStringLiteral("种子%1").arg(first_ + totals_.size() - 1));
}

}  // namespace xuan5::ui
