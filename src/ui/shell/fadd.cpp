#include "ui/shell/fadd.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "feed/manual_entry.h"
#include "ui/common/message_box.h"
#include "ui/widgets/named_controls.h"

namespace xuan5::ui {

Fadd::Fadd(const DrawTable& history, std::function<bool(const DrawRecord&)> stage, QWidget* parent)
    : QDialog(parent),
      entry_(new QLineEdit(this)),
      confirm_(new QPushButton(QStringLiteral("确认录入"), this)),
      stage_(std::move(stage)) {
    setObjectName(QStringLiteral("Fadd"));
    setWindowTitle(QStringLiteral("手工录入最新"));
    entry_->setObjectName(QStringLiteral("T_total_renshu"));
    confirm_->setObjectName(QStringLiteral("C_rulu_kjh"));
    auto* hint = new QLabel(QStringLiteral("期数（3位）-任选5"), this);
    hint->setObjectName(QStringLiteral("Label54"));
    auto* example = new QLabel(QStringLiteral("例子：005-01,02,03,04,08"), this);
    example->setObjectName(QStringLiteral("Label1"));
    auto* warning = new QLabel(QStringLiteral("备注：如果不按格式输入开奖号，可能会算错"), this);
    warning->setObjectName(QStringLiteral("Label2"));
    SetTextColor(warning, QColor(192, 0, 0));

    QFont big = entry_->font();
    big.setPointSize(big.pointSize() + 3);
    entry_->setFont(big);
    entry_->setPlaceholderText(QStringLiteral("例：") +
                               QString::fromStdString(ProposeEntryLine(history)));
    entry_->setMinimumWidth(entry_->fontMetrics().horizontalAdvance(entry_->placeholderText()) +
                            40);

    auto* layout = new QGridLayout(this);
    layout->addWidget(hint, 0, 0, 1, 2);
    layout->addWidget(entry_, 1, 0);
    layout->addWidget(confirm_, 1, 1);
    layout->addWidget(example, 2, 0, 1, 2);
    layout->addWidget(warning, 3, 0, 1, 2);

    confirm_->setDefault(true);
    connect(confirm_, &QPushButton::clicked, this, &Fadd::Confirm);
}

void Fadd::Confirm() {
    const Result<DrawRecord> check = CheckManualEntry(entry_->text().toStdString());
    if (!check) {
        ShowMessage(this, check.messages().front());
        return;
    }
    confirm_->setEnabled(false);
    if (!stage_(*check)) {
        confirm_->setEnabled(true);
        return;
    }
    accept();
}

}  // namespace xuan5::ui
