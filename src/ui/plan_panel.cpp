#include "ui/plan_panel.h"
#include "ui/named_controls.h"

#include "ui/backup_strip.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>
#include <QVBoxLayout>

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

QGroupBox* BuildModeOne(QWidget* parent) {
    auto* frame = new QGroupBox(QStringLiteral("计划模式：15线多次出号后交集"), parent);
    frame->setObjectName(QStringLiteral("Frame10"));
    auto* row = new QHBoxLayout(frame);
    row->setContentsMargins(6, 4, 6, 4);
    auto* grid = new QGridLayout;
    grid->setVerticalSpacing(4);
    grid->addWidget(
        MakeCheck(frame, QStringLiteral("Check_jh_dadi_chongfu"), QStringLiteral("生效")), 0, 0, 1,
        2);
    grid->addWidget(new QLabel(QStringLiteral("软件模拟多开次数为："), frame), 1, 0);
    grid->addWidget(MakeLine(frame, QStringLiteral("T_jh_dadi_chongfu_cs"), QStringLiteral("5"), 4),
                    1, 1);
    grid->addWidget(new QLabel(QStringLiteral("总容对为："), frame), 2, 0, Qt::AlignRight);
    grid->addWidget(
        MakeLine(frame, QStringLiteral("T_jh_dadi_chongfu_rc"), QStringLiteral("05"), 8), 2, 1);
    grid->setRowStretch(3, 1);
    row->addLayout(grid, 1);
    row->addLayout(
        HelpColumn(frame, {QStringLiteral("计划模式一："), QStringLiteral("第一行数字X，表示"),
                           QStringLiteral("同时打开X个软件"), QStringLiteral("每个软件单独计算"),
                           QStringLiteral("单独出计划，最后"), QStringLiteral("所有计划交集容对"),
                           QStringLiteral("第二行为容对值")}));
    return frame;
}

QGroupBox* BuildModeTwo(QWidget* parent) {
    auto* frame = new QGroupBox(QStringLiteral("计划模式：线路分拆多组后交集"), parent);
    frame->setObjectName(QStringLiteral("Frame9"));
    auto* row = new QHBoxLayout(frame);
    row->setContentsMargins(6, 4, 6, 4);
    auto* grid = new QGridLayout;
    grid->setVerticalSpacing(4);
    grid->addWidget(MakeCheck(frame, QStringLiteral("Check_jh_dadi_fenzu"), QStringLiteral("生效")),
                    0, 0, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("输入格式=线路序号：容对设置"), frame), 1, 0, 1, 2);
    const QStringList lines = {QStringLiteral("01.02.03.04.05"), QStringLiteral("06.07.08.09.10"),
                               QStringLiteral("11.12.13.14.15")};
    for (int g = 0; g < 3; ++g) {
        const QString base =
            QStringLiteral("T_jh_dadi_fenzu_%1").arg(g + 1, 2, 10, QLatin1Char('0'));
        grid->addWidget(MakeLine(frame, base, lines[g], 14), 2 + g, 0);
        grid->addWidget(
            MakeLine(frame, base + QStringLiteral("_rc"), QStringLiteral("01.02.03.04"), 11), 2 + g,
            1);
    }
    auto* total = new QHBoxLayout;
    total->addStretch(1);
    total->addWidget(new QLabel(QStringLiteral("总容对："), frame));
    grid->addLayout(total, 5, 0);
    grid->addWidget(MakeLine(frame, QStringLiteral("T_jh_dadi_fenzu_rc"), QStringLiteral("03"), 11),
                    5, 1);
    grid->setRowStretch(6, 1);
    row->addLayout(grid, 1);
    row->addLayout(
        HelpColumn(frame, {QStringLiteral("计划模式二："), QStringLiteral("将15个线路按自己"),
                           QStringLiteral("喜欢分开多段，每"), QStringLiteral("段单独控制，最后"),
                           QStringLiteral("再次来一次总容对"), QStringLiteral("总容对，表示容许"),
                           QStringLiteral("上面的条件对几个")}));
    return frame;
}

}  // namespace

PlanPanel::PlanPanel(QWidget* parent) : QGroupBox(QStringLiteral("计划"), parent) {
    setObjectName(QStringLiteral("Frame_ding_2"));
    auto* root = new QHBoxLayout(this);
    root->setSpacing(8);

    // The plan base and its count.
    auto* baseColumn = new QVBoxLayout;
    baseColumn->addWidget(MakeBox(this, QStringLiteral("T_jihua_jj_dadi")), 1);
    auto* baseRow = new QHBoxLayout;
    auto* count = MakeLine(this, QStringLiteral("T_jihua_jj_dadi_zhushu"), QStringLiteral("0"), 4);
    count->setMaximumWidth(count->minimumWidth());
    baseRow->addWidget(count);
    baseRow->addWidget(
        MakeButton(this, QStringLiteral("C_jihua_jj_copy"), QStringLiteral("复制大底")));
    baseRow->addStretch(1);
    baseColumn->addLayout(baseRow);
    root->addLayout(baseColumn, 2);

    // The plan log with its hit tally, the result words and the signature appended to the log.
    auto* logColumn = new QVBoxLayout;
    auto* logRow = new QHBoxLayout;
    logRow->addWidget(MakeBox(this, QStringLiteral("T_jh_dadi_jilu")), 4);
    logRow->addWidget(MakeBox(this, QStringLiteral("T_jh_rc")), 1);
    logColumn->addLayout(logRow, 1);
    auto* words = new QHBoxLayout;
    words->addWidget(MakeLine(this, QStringLiteral("T_zdy_yongyu_0"), QStringLiteral("中中中"), 8));
    words->addWidget(MakeLine(this, QStringLiteral("T_zdy_yongyu_1"), QStringLiteral("一会中"), 8));
    words->addStretch(1);
    logColumn->addLayout(words);
    logColumn->addWidget(new QLabel(QStringLiteral("计划签名设置"), this));
    // The box holds "\n" line breaks; whoever appends the signature to the log converts them
    // to CR LF like the rest of the log.
    auto* signature =
        MakeBox(this, QStringLiteral("T_jihua_qianming"),
                QStringLiteral("---------------\nTavren祝福大家中中\n---------------\n"));
    const QFontMetrics fm(signature->font());
    signature->setFixedHeight(fm.lineSpacing() * 4 + 14);
    logColumn->addWidget(signature);
    root->addLayout(logColumn, 3);

    // Plan settings and commands.
    auto* settings = new QVBoxLayout;
    settings->setSpacing(6);
    settings->addWidget(BuildModeOne(this));
    settings->addWidget(BuildModeTwo(this));

    auto* banker = new QHBoxLayout;
    banker->addWidget(
        MakeCheck(this, QStringLiteral("Check_danma_jiaoji"), QStringLiteral("交集胆码")));
    banker->addWidget(
        MakeLine(this, QStringLiteral("T_jiaoji_danma"), QStringLiteral("02.04.06.08.10"), 14), 1);
    banker->addWidget(
        MakeLine(this, QStringLiteral("T_jiaoji_danma_rc"), QStringLiteral("1.2.3"), 6));
    settings->addLayout(banker);

    auto* commands = new QGridLayout;
    commands->addWidget(MakeButton(this, QStringLiteral("C_jihua_ks"), QStringLiteral("开始计划")),
                        0, 0);
    commands->addWidget(MakeButton(this, QStringLiteral("C_jihua_cls"), QStringLiteral("清空计划")),
                        0, 1);
    commands->addWidget(MakeButton(this, QStringLiteral("C_copy_1"), QStringLiteral("复制计划")), 0,
                        2);
    commands->addWidget(MakeButton(this, QStringLiteral("C_jh_dd_k"), QStringLiteral("曲线预览")),
                        0, 3);
    commands->addWidget(
        MakeCheck(this, QStringLiteral("Check_jihua_sx"), QStringLiteral("自动计划")), 1, 0);
    commands->addWidget(
        MakeCheck(this, QStringLiteral("Check_jihua_jilu_haoma"), QStringLiteral("记录+号码")), 1,
        1);
    commands->addWidget(
        MakeCheck(this, QStringLiteral("Check_qu_douhao"), QStringLiteral("去逗号")), 1, 2);
    settings->addLayout(commands);
    settings->addStretch(1);
    root->addLayout(settings);
}

}  // namespace xuan5::ui
