#include "ui/sort_panel.h"
#include "ui/named_controls.h"

#include "ui/backup_strip.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace xuan5::ui {

namespace {

// Short boxes for numbers keep their width, so the rows do not stretch them across the panel.
QLineEdit* MakeNumber(QWidget* parent, const QString& name, const QString& text) {
    auto* box = MakeLine(parent, name, text, 3);
    box->setMaximumWidth(box->minimumWidth());
    return box;
}

// "-" and "+" need no more room than their sign.
QPushButton* MakeSignButton(QWidget* parent, const QString& name, const QString& text) {
    auto* button = MakeButton(parent, name, text);
    button->setFixedWidth(button->fontMetrics().height() + 14);
    return button;
}

}  // namespace

SortPanel::SortPanel(QWidget* parent) : QGroupBox(QStringLiteral("断组"), parent) {
    setObjectName(QStringLiteral("Frame_ding_3"));
    auto* root = new QHBoxLayout(this);
    root->setSpacing(10);

    auto* sort = new QVBoxLayout;
    auto* window = new QHBoxLayout;
    window->addWidget(
        MakeLabel(this, QStringLiteral("Label20"), QStringLiteral("排序期数/验证期数")));
    window->addWidget(MakeNumber(this, QStringLiteral("T_paixu_qishu"), QStringLiteral("10")));
    window->addWidget(MakeNumber(this, QStringLiteral("T_paixu_yanzheng"), QStringLiteral("20")));
    window->addWidget(
        MakeSignButton(this, QStringLiteral("C_paixu_qishu_jian"), QStringLiteral("-")));
    window->addWidget(
        MakeSignButton(this, QStringLiteral("C_paixu_qishu_jia"), QStringLiteral("+")));
    window->addWidget(
        MakeButton(this, QStringLiteral("C_paixu_shuaxin"), QStringLiteral("刷新排序")));
    window->addStretch(1);
    sort->addLayout(window);
    auto* mode = new QHBoxLayout;
    mode->addWidget(MakeLabel(this, QStringLiteral("Label28"), QStringLiteral("分解模式：")));
    auto* modeBox =
        MakeLine(this, QStringLiteral("T_paixu_fenjiemoshi"), QStringLiteral("3-3-5"), 10);
    modeBox->setMaximumWidth(modeBox->minimumWidth());
    mode->addWidget(modeBox);
    mode->addStretch(1);
    sort->addLayout(mode);
    auto* list = new QListWidget(this);
    list->setObjectName(QStringLiteral("List01"));
    sort->addWidget(list, 1);
    root->addLayout(sort, 3);

    auto* filter = new QGroupBox(QStringLiteral("过滤功能(分解模式，用“-”号分开）"), this);
    filter->setObjectName(QStringLiteral("Frame12"));
    auto* column = new QVBoxLayout(filter);
    column->setContentsMargins(6, 4, 6, 6);
    auto* candidate = new QHBoxLayout;
    candidate->addWidget(MakeLine(filter, QStringLiteral("T_paixu_fenjie_houbei"), QString(), 20),
                         1);
    candidate->addWidget(
        MakeNumber(filter, QStringLiteral("T_paixu_fenjie_houbei_cs"), QStringLiteral("12")));
    candidate->addWidget(
        MakeButton(filter, QStringLiteral("C_paixu_add"), QStringLiteral("加入过滤框")));
    column->addLayout(candidate);
    // Default lines are held with "\n"; the filter splits the text into lines either way.
    column->addWidget(
        MakeBox(filter, QStringLiteral("T_paixu_input"),
                QStringLiteral("01 02 03*04 05*07 08=12\n03 04 05*06 07 08*10 11=12\n")),
        2);
    auto* run = new QHBoxLayout;
    run->addWidget(
        MakeLabel(filter, QStringLiteral("Label27"), QStringLiteral("双击清空；容对：")));
    run->addWidget(MakeNumber(filter, QStringLiteral("T_paixu_input_rc"), QStringLiteral("12")));
    run->addWidget(MakeButton(filter, QStringLiteral("C_paixu_go"), QStringLiteral("开始过滤")));
    run->addStretch(1);
    column->addLayout(run);
    column->addWidget(MakeBox(filter, QStringLiteral("T_paixu_dadi")), 3);
    auto* result = new QHBoxLayout;
    result->addWidget(MakeLabel(filter, QStringLiteral("Label26"), QStringLiteral("注数：")));
    result->addWidget(MakeLabel(filter, QStringLiteral("Label_paixu_zhushu"), QStringLiteral("0")));
    result->addStretch(1);
    result->addWidget(
        MakeButton(filter, QStringLiteral("C_paixu_copy"), QStringLiteral("复制号码")));
    column->addLayout(result);
    root->addWidget(filter, 2);
}

}  // namespace xuan5::ui
