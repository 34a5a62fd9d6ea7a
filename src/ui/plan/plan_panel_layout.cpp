// The plan panel's controls and their layout.
#include <QCheckBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>
#include <QVBoxLayout>

#include "ui/plan/plan_panel.h"
#include "ui/widgets/named_controls.h"
#include "ui/widgets/text_boxes.h"

namespace xuan5::ui {

namespace {

// The explanation that stands beside each plan mode, one short label per line.
QVBoxLayout* HelpColumn(QWidget* parent, const QStringList& lines) {
    auto* column = new QVBoxLayout;
    column->setSpacing(0);
    for (const QString& line : lines) column->addWidget(new QLabel(line, parent));
    column->addStretch(1);
    return column;
}

}  // namespace

QGroupBox* PlanPanel::BuildModeOne() {
    auto* frame = new QGroupBox(QStringLiteral("计划模式：15线多次出号后交集"), this);
    frame->setObjectName(QStringLiteral("Frame10"));
    auto* row = new QHBoxLayout(frame);
    row->setContentsMargins(6, 4, 6, 4);
    auto* grid = new QGridLayout;
    grid->setVerticalSpacing(4);
    modeOne_ = MakeCheck(frame, QStringLiteral("Check_jh_dadi_chongfu"), QStringLiteral("生效"));
    grid->addWidget(modeOne_, 0, 0, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("软件模拟多开次数为："), frame), 1, 0);
    instances_ = MakeLine(frame, QStringLiteral("T_jh_dadi_chongfu_cs"), QStringLiteral("5"), 4);
    grid->addWidget(instances_, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("总容对为："), frame), 2, 0, Qt::AlignRight);
    instanceTolerance_ =
        MakeLine(frame, QStringLiteral("T_jh_dadi_chongfu_rc"), QStringLiteral("05"), 8);
    grid->addWidget(instanceTolerance_, 2, 1);
    grid->setRowStretch(3, 1);
    row->addLayout(grid, 1);
    row->addLayout(
        HelpColumn(frame, {QStringLiteral("计划模式一："), QStringLiteral("第一行数字X，表示"),
                           QStringLiteral("同时打开X个软件"), QStringLiteral("每个软件单独计算"),
                           QStringLiteral("单独出计划，最后"), QStringLiteral("所有计划交集容对"),
                           QStringLiteral("第二行为容对值")}));
    return frame;
}

QGroupBox* PlanPanel::BuildModeTwo() {
    auto* frame = new QGroupBox(QStringLiteral("计划模式：线路分拆多组后交集"), this);
    frame->setObjectName(QStringLiteral("Frame9"));
    auto* row = new QHBoxLayout(frame);
    row->setContentsMargins(6, 4, 6, 4);
    auto* grid = new QGridLayout;
    grid->setVerticalSpacing(4);
    modeTwo_ = MakeCheck(frame, QStringLiteral("Check_jh_dadi_fenzu"), QStringLiteral("生效"));
    grid->addWidget(modeTwo_, 0, 0, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("输入格式=线路序号：容对设置"), frame), 1, 0, 1, 2);
    const QStringList lines = {QStringLiteral("01.02.03.04.05"), QStringLiteral("06.07.08.09.10"),
                               QStringLiteral("11.12.13.14.15")};
    for (int g = 0; g < 3; ++g) {
        const QString base =
            QStringLiteral("T_jh_dadi_fenzu_%1").arg(g + 1, 2, 10, QLatin1Char('0'));
        groups_[g] = MakeLine(frame, base, lines[g], 14);
        grid->addWidget(groups_[g], 2 + g, 0);
        groupTolerances_[g] =
            MakeLine(frame, base + QStringLiteral("_rc"), QStringLiteral("01.02.03.04"), 11);
        grid->addWidget(groupTolerances_[g], 2 + g, 1);
    }
    auto* total = new QHBoxLayout;
    total->addStretch(1);
    total->addWidget(new QLabel(QStringLiteral("总容对："), frame));
    grid->addLayout(total, 5, 0);
    totalTolerance_ =
        MakeLine(frame, QStringLiteral("T_jh_dadi_fenzu_rc"), QStringLiteral("03"), 11);
    grid->addWidget(totalTolerance_, 5, 1);
    grid->setRowStretch(6, 1);
    row->addLayout(grid, 1);
    row->addLayout(
        HelpColumn(frame, {QStringLiteral("计划模式二："), QStringLiteral("将15个线路按自己"),
                           QStringLiteral("喜欢分开多段，每"), QStringLiteral("段单独控制，最后"),
                           QStringLiteral("再次来一次总容对"), QStringLiteral("总容对，表示容许"),
                           QStringLiteral("上面的条件对几个")}));
    return frame;
}

void PlanPanel::BuildLayout() {
    auto* root = new QHBoxLayout(this);
    root->setSpacing(8);

    // The plan base and its count.
    auto* baseColumn = new QVBoxLayout;
    planBase_ = MakeLinesBox(this, QStringLiteral("T_jihua_jj_dadi"));
    UseUnshapedFont(planBase_);
    baseColumn->addWidget(planBase_, 1);
    auto* baseRow = new QHBoxLayout;
    planCount_ = MakeLine(this, QStringLiteral("T_jihua_jj_dadi_zhushu"), QStringLiteral("0"), 4);
    planCount_->setMaximumWidth(planCount_->minimumWidth());
    baseRow->addWidget(planCount_);
    copyBase_ = MakeButton(this, QStringLiteral("C_jihua_jj_copy"), QStringLiteral("复制大底"));
    baseRow->addWidget(copyBase_);
    baseRow->addStretch(1);
    baseColumn->addLayout(baseRow);
    root->addLayout(baseColumn, 2);

    // The plan log with its hit tally, the result words and the signature appended to the log.
    auto* logColumn = new QVBoxLayout;
    auto* logRow = new QHBoxLayout;
    log_ = MakeLinesBox(this, QStringLiteral("T_jh_dadi_jilu"));
    logRow->addWidget(log_, 4);
    tally_ = MakeLinesBox(this, QStringLiteral("T_jh_rc"));
    tally_->setToolTip(
        QStringLiteral("命中统计，每期开奖后记一行：参与的底数-其中含开奖号的底数。\n"
                       "计划模式一：参与的是每次模拟出的计划（模拟次数为1时是勾选的各线小底）。\n"
                       "例：5-3 表示5个里有3个含本期开奖号；"
                       "5-5 表示全部含开奖号，5-0 表示都不含。计划模式二记为“模式二”。"));
    logRow->addWidget(tally_, 1);
    logColumn->addLayout(logRow, 1);
    auto* words = new QHBoxLayout;
    words_[0] = MakeLine(this, QStringLiteral("T_zdy_yongyu_0"), QStringLiteral("中中中"), 8);
    words_[1] = MakeLine(this, QStringLiteral("T_zdy_yongyu_1"), QStringLiteral("一会中"), 8);
    words->addWidget(words_[0]);
    words->addWidget(words_[1]);
    words->addStretch(1);
    logColumn->addLayout(words);
    logColumn->addWidget(new QLabel(QStringLiteral("计划签名设置"), this));
    // The box holds "\n" line breaks; whoever appends the signature to the log converts them
    // to CR LF like the rest of the log.
    signature_ = MakeBox(this, QStringLiteral("T_jihua_qianming"),
                         QStringLiteral("---------------\nTavren祝福大家中中\n---------------\n"));
    const QFontMetrics fm(signature_->font());
    signature_->setFixedHeight(fm.lineSpacing() * 4 + 14);
    logColumn->addWidget(signature_);
    root->addLayout(logColumn, 3);

    // Plan settings and commands.
    auto* settings = new QVBoxLayout;
    settings->setSpacing(6);
    settings->addWidget(BuildModeOne());
    settings->addWidget(BuildModeTwo());

    auto* banker = new QHBoxLayout;
    banker_ = MakeCheck(this, QStringLiteral("Check_danma_jiaoji"), QStringLiteral("交集胆码"));
    banker->addWidget(banker_);
    bankerNumbers_ =
        MakeLine(this, QStringLiteral("T_jiaoji_danma"), QStringLiteral("02.04.06.08.10"), 14);
    banker->addWidget(bankerNumbers_, 1);
    bankerCounts_ = MakeLine(this, QStringLiteral("T_jiaoji_danma_rc"), QStringLiteral("1.2.3"), 6);
    banker->addWidget(bankerCounts_);
    settings->addLayout(banker);

    auto* commands = new QGridLayout;
    start_ = MakeButton(this, QStringLiteral("C_jihua_ks"), QStringLiteral("开始计划"));
    clear_ = MakeButton(this, QStringLiteral("C_jihua_cls"), QStringLiteral("清空计划"));
    copyPlan_ = MakeButton(this, QStringLiteral("C_copy_1"), QStringLiteral("复制计划"));
    preview_ = MakeButton(this, QStringLiteral("C_jh_dd_k"), QStringLiteral("曲线预览"));
    autoPlan_ = MakeCheck(this, QStringLiteral("Check_jihua_sx"), QStringLiteral("自动计划"));
    withBets_ =
        MakeCheck(this, QStringLiteral("Check_jihua_jilu_haoma"), QStringLiteral("记录+号码"));
    noCommas_ = MakeCheck(this, QStringLiteral("Check_qu_douhao"), QStringLiteral("去逗号"));
    commands->addWidget(start_, 0, 0);
    commands->addWidget(clear_, 0, 1);
    commands->addWidget(copyPlan_, 0, 2);
    commands->addWidget(preview_, 0, 3);
    commands->addWidget(autoPlan_, 1, 0);
    commands->addWidget(withBets_, 1, 1);
    commands->addWidget(noCommas_, 1, 2);
    settings->addLayout(commands);
    settings->addStretch(1);
    root->addLayout(settings);
}

}  // namespace xuan5::ui
