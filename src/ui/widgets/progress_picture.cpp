#include "ui/widgets/progress_picture.h"

#include <QFontMetrics>
#include <QPainter>

namespace xuan5::ui {

ProgressPicture::ProgressPicture(QWidget* parent) : QWidget(parent) {
    setAutoFillBackground(true);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    // The strip must not jump when the display is hidden between plan runs.
    QSizePolicy policy = sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    setSizePolicy(policy);
}

void ProgressPicture::SetText(const QString& text) {
    text_ = text;
    update();
}

QSize ProgressPicture::sizeHint() const {
    QFont big = font();
    big.setPointSize(kPointSize);
    const QFontMetrics fm(big);
    // Wide enough for the longest progress text, "100.0%", after the fixed left offset.
    const int width =
        static_cast<int>(kTextLeft) + fm.horizontalAdvance(QStringLiteral("100.0%")) + 8;
    const int height = static_cast<int>(kTextTop) + fm.height() + 4;
    return {width, height};
}

QSize ProgressPicture::minimumSizeHint() const {
    return sizeHint();
}

void ProgressPicture::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().base());
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    if (text_.isEmpty()) return;
    QFont big = font();
    big.setPointSize(kPointSize);
    painter.setFont(big);
    painter.setPen(palette().color(QPalette::Text));
    const QFontMetrics fm(big);
    painter.drawText(QPointF(kTextLeft, kTextTop + fm.ascent()), text_);
}

}  // namespace xuan5::ui
