#include "ui/widgets/chart_widget.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace xuan5::ui {

namespace {

inline constexpr double kLogicalWidth = 130.0;

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
    update();
}

void ChartWidget::AddLines(const std::vector<ChartLine>& lines) {
    extra_.insert(extra_.end(), lines.begin(), lines.end());
    update();
}

QPointF ChartWidget::ToLogical(QPointF pixel) const {
    const double range = picture_.range > 0 ? picture_.range : kCanvasRange;
    const double w = std::max(1, width());
    const double h = std::max(1, height());
    return {pixel.x() / w * kLogicalWidth, range - pixel.y() / h * 2.0 * range};
}

QPointF ChartWidget::ToPixel(double x, double y) const {
    const double range = picture_.range > 0 ? picture_.range : kCanvasRange;
    return {x / kLogicalWidth * width(), (range - y) / (2.0 * range) * height()};
}

void ChartWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    auto drawLine = [&](const ChartLine& line) {
        QPen pen(ToQColor(line.color));
        pen.setWidth(line.width);
        pen.setCapStyle(Qt::FlatCap);
        painter.setPen(pen);
        painter.drawLine(ToPixel(line.x0, line.y0), ToPixel(line.x1, line.y1));
    };
    for (const ChartLine& line : picture_.lines) drawLine(line);
    painter.setPen(Qt::black);
    const QFontMetrics metrics(font());
    for (const ChartLabel& label : picture_.labels) {
        const QPointF topLeft = ToPixel(label.x, label.y);
        painter.drawText(QPointF(topLeft.x(), topLeft.y() + metrics.ascent()),
                         QString::fromStdString(label.text));
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
