#include "ui/fxiaodi.h"

#include "ui/app_context.h"
#include "ui/panel_links.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace xuan5::ui {

Fxiaodi::Fxiaodi(AppContext& ctx, const PanelLinks& links, QWidget* parent)
    : QWidget(parent, Qt::Window), ctx_(ctx), links_(links) {
    setObjectName(QStringLiteral("Fxiaodi"));
    setWindowTitle(QStringLiteral("15个小底数据显示"));
    auto* root = new QVBoxLayout(this);

    auto* rows = new QGridLayout;
    rows->setVerticalSpacing(3);
    for (int i = 0; i < 15; ++i) {
        auto* label = new QLabel(QString::number(i + 1), this);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        rows->addWidget(label, i, 0);
        auto* box = new QLineEdit(this);
        box->setObjectName(QStringLiteral("T_jihua_jj_dadi_%1").arg(i));
        // A small base runs to a few hundred characters; a wide box shows a good part of it.
        box->setMinimumWidth(box->fontMetrics().horizontalAdvance(QLatin1Char('0')) * 80);
        rows->addWidget(box, i, 1);
        auto* k = new QPushButton(QStringLiteral("K"), this);
        k->setObjectName(QStringLiteral("C_xiaodi_k_%1").arg(i));
        k->setFixedWidth(k->fontMetrics().horizontalAdvance(QStringLiteral("K")) + 24);
        rows->addWidget(k, i, 2);
    }
    rows->setColumnStretch(1, 1);
    root->addLayout(rows);

    root->addWidget(new QLabel(
        QStringLiteral("上面对应15条线的小底号码；点击K按钮可以在画图界面看到此底K线"), this));
    auto* refresh = new QPushButton(QStringLiteral("刷新号码"), this);
    refresh->setObjectName(QStringLiteral("C_xiaodi_shuaxin"));
    root->addWidget(refresh, 0, Qt::AlignLeft);

    auto* timer = new QTimer(this);
    timer->setObjectName(QStringLiteral("Timer1"));
    timer->setInterval(500);
    timer->setSingleShot(true);
}

}  // namespace xuan5::ui
