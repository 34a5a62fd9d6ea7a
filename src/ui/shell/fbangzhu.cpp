#include "ui/shell/fbangzhu.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "ui/widgets/named_controls.h"

namespace xuan5::ui {

Fbangzhu::Fbangzhu(const QString& index, QWidget* parent)
    : QDialog(parent), browser_(new QTextBrowser(this)) {
    setObjectName(QStringLiteral("Fbangzhu"));
    setWindowTitle(QStringLiteral("使用手册"));
    browser_->setObjectName(QStringLiteral("T_bangzhu"));
    // The manual's pages link to each other and to their pictures by relative paths.
    browser_->setOpenLinks(true);
    browser_->setOpenExternalLinks(false);
    browser_->setSource(QUrl::fromLocalFile(index));

    auto* back = MakeButton(this, QStringLiteral("C_bangzhu_fanhui"), QStringLiteral("后退"));
    auto* home = MakeButton(this, QStringLiteral("C_bangzhu_mulu"), QStringLiteral("目录"));
    back->setEnabled(false);
    connect(back, &QPushButton::clicked, browser_, &QTextBrowser::backward);
    connect(home, &QPushButton::clicked, browser_, &QTextBrowser::home);
    connect(browser_, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(back);
    buttons->addWidget(home);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(browser_, 1);
    resize(920, 680);
}

}  // namespace xuan5::ui
