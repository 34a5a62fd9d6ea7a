#include "ui/monitor/fxiaodi.h"

#include "ui/common/app_context.h"
#include "ui/common/panel_links.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>
#include <QVBoxLayout>

namespace xuan5::ui {

Fxiaodi::Fxiaodi(Services& services, const Session& session, const PanelLinks& links,
                 QWidget* parent)
    : QWidget(parent, Qt::Window), services_(services), session_(session), links_(links) {
    setObjectName(QStringLiteral("Fxiaodi"));
    setWindowTitle(QStringLiteral("15个小底数据显示"));
    auto* root = new QVBoxLayout(this);

    auto* rows = new QGridLayout;
    rows->setVerticalSpacing(3);
    for (int i = 0; i < 15; ++i) {
        auto* label = new QLabel(QString::number(i + 1), this);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        rows->addWidget(label, i, 0);
        auto* box = boxes_[i] = new QLineEdit(this);
        box->setObjectName(QStringLiteral("T_jihua_jj_dadi_%1").arg(i));
        // A small base runs to a few hundred characters; a wide box shows a good part of it.
        box->setMinimumWidth(box->fontMetrics().horizontalAdvance(QLatin1Char('0')) * 80);
        rows->addWidget(box, i, 1);
        auto* k = curves_[i] = new QPushButton(QStringLiteral("K"), this);
        k->setObjectName(QStringLiteral("C_xiaodi_k_%1").arg(i));
        k->setFixedWidth(k->fontMetrics().horizontalAdvance(QStringLiteral("K")) + 24);
        rows->addWidget(k, i, 2);
    }
    rows->setColumnStretch(1, 1);
    root->addLayout(rows);

    root->addWidget(new QLabel(
        QStringLiteral("上面对应15条线的小底号码；点击K按钮可以在画图界面看到此底K线"), this));
    refresh_ = new QPushButton(QStringLiteral("刷新号码"), this);
    refresh_->setObjectName(QStringLiteral("C_xiaodi_shuaxin"));
    root->addWidget(refresh_, 0, Qt::AlignLeft);

    timer_ = new QTimer(this);
    timer_->setObjectName(QStringLiteral("Timer1"));
    timer_->setInterval(500);
    timer_->setSingleShot(true);

    connect(timer_, &QTimer::timeout, this, &Fxiaodi::FillSmallBaseWindow);
    connect(refresh_, &QPushButton::clicked, this, &Fxiaodi::FillSmallBaseWindow);
    for (int i = 0; i < kLineCount; ++i)
        connect(curves_[i], &QPushButton::clicked, this, [this, i] { ShowSmallBaseCurve(i); });
}

void Fxiaodi::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // The timed fill belongs to the window's opening; showing it again after a hide or a
    // minimise does not refill it.
    if (opened_) return;
    opened_ = true;
    timer_->start();
}

void Fxiaodi::FillSmallBaseWindow() {
    for (int i = 0; i < kLineCount; ++i) {
        boxes_[i]->setText(QString::fromStdString(session_.LineBases()[i]));
        // The start of a long base is more telling than its end.
        boxes_[i]->setCursorPosition(0);
    }
}

void Fxiaodi::ShowSmallBaseCurve(int index) {
    links_.showBase(boxes_[index]->text().trimmed());
}

}  // namespace xuan5::ui
