#include "ui/widgets/status_line.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>

namespace xuan5::ui {

namespace {

// QLineEdit keeps this much room between its frame and its text.
constexpr int kTextMargin = 2;

}  // namespace

StatusLine::StatusLine(const QString& text, QWidget* parent) : QLineEdit(text, parent) {
    setReadOnly(true);
    setToolTip(text);
    // Whoever writes the status, the tooltip follows it.
    connect(this, &QLineEdit::textChanged, this, &StatusLine::FollowText);
}

void StatusLine::SetSource(const QString& source) {
    source_ = source;
    FollowText();
}

void StatusLine::FollowText() {
    setToolTip(source_.isEmpty() ? text() : text() + QLatin1Char('\n') + source_);
    update();
}

QRect StatusLine::TextArea() const {
    QStyleOptionFrame option;
    initStyleOption(&option);
    return style()
        ->subElementRect(QStyle::SE_LineEditContents, &option, this)
        .adjusted(kTextMargin, 0, -kTextMargin, 0);
}

QString StatusLine::ShownText() const {
    if (hasFocus()) return text();
    return fontMetrics().elidedText(text(), Qt::ElideMiddle, TextArea().width());
}

void StatusLine::paintEvent(QPaintEvent* event) {
    const QString shown = ShownText();
    if (shown == text()) {
        QLineEdit::paintEvent(event);
        return;
    }
    QPainter painter(this);
    QStyleOptionFrame option;
    initStyleOption(&option);
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &option, &painter, this);
    painter.setPen(palette().color(QPalette::Text));
    painter.drawText(TextArea(), Qt::AlignLeft | Qt::AlignVCenter, shown);
}

}  // namespace xuan5::ui
