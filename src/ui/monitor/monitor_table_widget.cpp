#include "ui/monitor/monitor_table_widget.h"

#include <QPainter>
#include <algorithm>
#include <utility>

namespace xuan5::ui {

MonitorTableWidget::MonitorTableWidget(QWidget* parent)
    : QWidget(parent), picture_(xuan5::DrawMonitorGrid()) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void MonitorTableWidget::SetPicture(MonitorPicture picture) {
    picture_ = std::move(picture);
    update();
}

QPointF MonitorTableWidget::ToPixels(double x, double y) const {
    // One pixel less than the size, so that the closing lines at x = 17 and y = 0 stay inside.
    const double w = std::max(1, width() - 1);
    const double h = std::max(1, height() - 1);
    return {x / kUnitsWide * w, (kUnitsHigh - y) / kUnitsHigh * h};
}

QSize MonitorTableWidget::sizeHint() const {
    return {17 * 30, 21 * 21};
}

QSize MonitorTableWidget::minimumSizeHint() const {
    return {17 * 22, 21 * 16};
}

void MonitorTableWidget::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);

    for (const ChartLine& line : picture_.lines) {
        // The table's lines are all pure blue.
        painter.setPen(QPen(QColor(0, 0, 255), line.width));
        painter.drawLine(ToPixels(line.x0, line.y0), ToPixels(line.x1, line.y1));
    }

    // The font follows the cell size so that "开奖期数" fits its two units and a mark its cell.
    const double unitW = std::max(1, width() - 1) / kUnitsWide;
    const double unitH = std::max(1, height() - 1) / kUnitsHigh;
    QFont cellFont = font();
    cellFont.setPixelSize(
        std::clamp(static_cast<int>(std::min(unitH * 0.62, unitW * 0.42)), 7, 40));
    painter.setFont(cellFont);
    painter.setPen(Qt::black);
    if (cellFont.pixelSize() != laidOutPixelSize_) {
        laidOut_.clear();
        laidOutPixelSize_ = cellFont.pixelSize();
    }
    for (const ChartLabel& label : picture_.texts) {
        const QString text = QString::fromStdString(label.text);
        auto it = laidOut_.find(text);
        if (it == laidOut_.end()) {
            QStaticText laid(text);
            laid.setTextFormat(Qt::PlainText);
            laid.prepare(QTransform(), cellFont);
            it = laidOut_.insert(text, laid);
        }
        painter.drawStaticText(ToPixels(label.x, label.y), *it);
    }
}

}  // namespace xuan5::ui
