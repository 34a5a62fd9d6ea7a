#include "ui/widgets/clickable_label.h"

#include <QMouseEvent>

#include "ui/widgets/named_controls.h"

namespace xuan5::ui {

ClickableLabel::ClickableLabel(const QString& text, QWidget* parent) : QLabel(parent) {
    // The caption starts with "<", which QLabel would otherwise take for a rich-text tag.
    setTextFormat(Qt::PlainText);
    setText(text);
    setCursor(Qt::PointingHandCursor);
    SetTextColor(this, QColor(0, 0, 255));
}

void ClickableLabel::mousePressEvent(QMouseEvent* event) {
    pressed_ = event->button() == Qt::LeftButton;
    QLabel::mousePressEvent(event);
}

void ClickableLabel::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = pressed_ && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    pressed_ = false;
    QLabel::mouseReleaseEvent(event);
    if (click) emit clicked();
}

}  // namespace xuan5::ui
