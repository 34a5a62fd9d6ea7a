#include "ui/backtest/omission_strip.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace xuan5::ui {

OmissionStrip::OmissionStrip(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setToolTip(Explanation());
}

QString OmissionStrip::Explanation() {
    return QStringLiteral(
        "当前遗漏：上行是号码01到11，下行是它已连续多少期没有开出（本地存档最近120期）。\n"
        "越红，离上次开出越久（与所有号码中最长的遗漏相比）。");
}

void OmissionStrip::SetOmissions(const OmissionTable& omissions) {
    omissions_ = omissions;
    QString tip = Explanation();
    for (int n = 1; n <= 11; ++n) {
        tip += QLatin1Char('\n');
        tip += QStringLiteral("%1：当前遗漏 %2，最大遗漏 %3，出现 %4次")
                   .arg(n, 2, 10, QLatin1Char('0'))
                   .arg(omissions[n].current)
                   .arg(omissions[n].largest)
                   .arg(omissions[n].frequency);
    }
    setToolTip(tip);
    update();
}

QColor OmissionStrip::CellColor(int number) const {
    int longest = 1;
    for (int n = 1; n <= 11; ++n) longest = std::max(longest, omissions_[n].largest);
    const double heat = std::clamp(omissions_[number].current / double(longest), 0.0, 1.0);
    // White for a number that just came, deep red for the longest absence.
    const int fade = static_cast<int>(std::lround(255 * (1.0 - heat)));
    return QColor(255, fade, fade);
}

QSize OmissionStrip::sizeHint() const {
    return {11 * 40, fontMetrics().height() * 2 + 8};
}

QSize OmissionStrip::minimumSizeHint() const {
    return {11 * (fontMetrics().horizontalAdvance(QStringLiteral("000")) + 4), sizeHint().height()};
}

void OmissionStrip::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const double cell = width() / 11.0;
    const int line = fontMetrics().height();
    for (int n = 1; n <= 11; ++n) {
        const QRectF box((n - 1) * cell, 0, cell, height() - 1);
        painter.fillRect(box, CellColor(n));
        painter.setPen(QColor(160, 160, 160));
        painter.drawRect(box);
        painter.setPen(Qt::black);
        painter.drawText(QRectF(box.x(), 2, cell, line), Qt::AlignCenter,
                         QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')));
        painter.drawText(QRectF(box.x(), 2 + line, cell, line), Qt::AlignCenter,
                         QString::number(omissions_[n].current));
    }
}

}  // namespace xuan5::ui
