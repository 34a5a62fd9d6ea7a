#include "ui/widgets/chart_widget.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace xuan5::ui {

namespace {

inline constexpr double kLogicalWidth = 130.0;
// Room between an axis label and the edges of its column.
inline constexpr int kLabelPadding = 4;

QColor ToQColor(ChartColor color) {
    switch (color) {
        case ChartColor::Red:
            return QColor(255, 0, 0);
        case ChartColor::Blue:
            return QColor(0, 0, 255);
        case ChartColor::Green:
            return QColor(0, 255, 0);
        case ChartColor::Gray:
            return QColor(150, 150, 150);
    }
    return QColor(0, 0, 0);
}

}  // namespace

ChartWidget::ChartWidget(QWidget* parent) : QWidget(parent) {
    // Drawing reacts to plain moves between the two clicks, not only to drags.
    setMouseTracking(true);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    setMinimumSize(260, 200);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void ChartWidget::SetPicture(ChartPicture picture) {
    picture_ = std::move(picture);
    extra_.clear();
    MeasureGutter();
    update();
}

void ChartWidget::AddLines(const std::vector<ChartLine>& lines) {
    extra_.insert(extra_.end(), lines.begin(), lines.end());
    update();
}

void ChartWidget::MeasureGutter() {
    const QFontMetrics metrics(font());
    gutter_ = 0;
    for (const ChartLabel& label : picture_.labels) {
        if (label.axis)
            gutter_ =
                std::max(gutter_, metrics.horizontalAdvance(QString::fromStdString(label.text)));
    }
    if (gutter_ > 0) gutter_ += 2 * kLabelPadding;
}

void ChartWidget::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) MeasureGutter();
}

QRectF ChartWidget::PlotArea() const {
    // Half a label above the top line and below the bottom one, so theirs fit too.
    const double margin = picture_.labels.empty() ? 0.0 : QFontMetrics(font()).height() / 2.0;
    return QRectF(gutter_, margin, std::max(1, width() - gutter_),
                  std::max(1.0, height() - 2 * margin));
}

QPointF ChartWidget::ToLogical(QPointF pixel) const {
    const double range = picture_.range > 0 ? picture_.range : kCanvasRange;
    const QRectF plot = PlotArea();
    return {(pixel.x() - plot.left()) / plot.width() * kLogicalWidth,
            range - (pixel.y() - plot.top()) / plot.height() * 2.0 * range};
}

QPointF ChartWidget::ToPixel(double x, double y) const {
    const double range = picture_.range > 0 ? picture_.range : kCanvasRange;
    const QRectF plot = PlotArea();
    return {plot.left() + x / kLogicalWidth * plot.width(),
            plot.top() + (range - y) / (2.0 * range) * plot.height()};
}

std::vector<ChartLabel> ChartWidget::ShownLabels() const {
    const double range = picture_.range > 0 ? picture_.range : kCanvasRange;
    const double spacing = picture_.step / (2.0 * range) * PlotArea().height();
    // A little air between two labels, so they read as two.
    return VisibleLabels(picture_, spacing, QFontMetrics(font()).height() * 1.2);
}

void ChartWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRectF plot = PlotArea();
    auto drawLine = [&](const ChartLine& line) {
        QPen pen(ToQColor(line.color));
        pen.setWidth(line.width);
        pen.setCapStyle(Qt::FlatCap);
        painter.setPen(pen);
        painter.drawLine(ToPixel(line.x0, line.y0), ToPixel(line.x1, line.y1));
    };
    // Nothing drawn on the chart reaches the labels beside it.
    painter.setClipRect(QRectF(plot.left(), 0, plot.width(), height()));
    for (const ChartLine& line : picture_.lines) drawLine(line);
    painter.setPen(Qt::black);
    const QFontMetrics metrics(font());
    for (const ChartLabel& label : ShownLabels()) {
        const QString text = QString::fromStdString(label.text);
        const QPointF at = ToPixel(label.x, label.y);
        if (!label.axis) {
            painter.drawText(QPointF(at.x(), at.y() + metrics.ascent()), text);
            continue;
        }
        painter.setClipping(false);
        const QRectF box(0, at.y() - metrics.height() / 2.0, plot.left() - kLabelPadding,
                         metrics.height());
        painter.drawText(box, Qt::AlignRight | Qt::AlignVCenter, text);
        painter.setClipping(true);
    }
    for (const ChartLine& line : extra_) drawLine(line);
}

void ChartWidget::mousePressEvent(QMouseEvent* event) {
    const QPointF p = ToLogical(event->position());
    emit mouseDown(p.x(), p.y());
}

void ChartWidget::mouseMoveEvent(QMouseEvent* event) {
    const QPointF p = ToLogical(event->position());
    emit mouseMoved(p.x(), p.y());
}

}  // namespace xuan5::ui
