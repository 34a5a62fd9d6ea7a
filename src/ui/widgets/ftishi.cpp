#include "ui/widgets/ftishi.h"

#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

namespace xuan5::ui {

Ftishi::Ftishi(QWidget* parent) : QDialog(parent), timer_(new QTimer(this)) {
    setObjectName(QStringLiteral("Ftishi"));
    setWindowTitle(QStringLiteral("信息提示窗口"));
    auto* label = new QLabel(QStringLiteral("！！复制成功！！"), this);
    label->setObjectName(QStringLiteral("Label1"));
    QFont font(QStringLiteral("宋体"));
    font.setPointSize(14);
    label->setFont(font);
    label->setAlignment(Qt::AlignCenter);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(30, 20, 30, 20);
    layout->addWidget(label);

    timer_->setObjectName(QStringLiteral("Timer1"));
    timer_->setInterval(kCopyNoticeMs);
    timer_->setSingleShot(true);
    connect(timer_, &QTimer::timeout, this, &QDialog::accept);
}

void Ftishi::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    timer_->start();
}

Ftishi* ShowCopyNotice(QWidget* parent) {
    auto* notice = new Ftishi(parent);
    notice->setAttribute(Qt::WA_DeleteOnClose);
    notice->open();
    return notice;
}

}  // namespace xuan5::ui
