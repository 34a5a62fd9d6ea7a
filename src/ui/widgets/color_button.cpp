#include "ui/widgets/color_button.h"

#include <QPainter>
#include <QPainterPath>

namespace xuan5::ui {

ColorButton::ColorButton(const QString& text, QWidget* parent) : QPushButton(text, parent) {}

void ColorButton::SetColor(const QColor& color) {
    if (color == color_) return;
    color_ = color;
    update();
}

void ColorButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF frame = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath outline;
    outline.addRoundedRect(frame, 3, 3);
    painter.fillPath(outline, isDown() ? color_.darker(115) : color_);
    painter.setPen(hasFocus() ? QColor(48, 96, 160) : QColor(0x70, 0x70, 0x70));
    painter.drawPath(outline);
    painter.setPen(isEnabled() ? Qt::black : Qt::gray);
    painter.drawText(rect(), Qt::AlignCenter | Qt::TextShowMnemonic, text());
}

}  // namespace xuan5::ui
