#include "ui/plan_panel.h"

#include "core/messages.h"
#include "core/text.h"
#include "plans/plan_log.h"
#include "ui/app_context.h"
#include "ui/backup_strip.h"
#include "ui/draw_panel.h"
#include "ui/monitor_panel.h"
#include "ui/named_controls.h"
#include "ui/panel_links.h"

#include <QCheckBox>
#include <QCoreApplication>
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

// Setting a box lays its whole text out again; the backup join and the pending record often hand
// back what the box shows already, a few hundred lines of it.
void SetChangedBoxText(QPlainTextEdit* box, const std::string& text) {
    if (BoxText(box) != text) SetBoxText(box, text);
}

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

PlanPanel::PlanPanel(AppContext& ctx, const PanelLinks& links, QWidget* parent)
    : QGroupBox(QStringLiteral("计划"), parent), ctx_(ctx), links_(links) {
    setObjectName(QStringLiteral("Frame_ding_2"));
    auto* root = new QHBoxLayout(this);
    root->setSpacing(8);

    // The plan base and its count.
    auto* baseColumn = new QVBoxLayout;
    planBase_ = MakeBox(this, QStringLiteral("T_jihua_jj_dadi"));
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
    log_ = MakeBox(this, QStringLiteral("T_jh_dadi_jilu"));
    logRow->addWidget(log_, 4);
    tally_ = MakeBox(this, QStringLiteral("T_jh_rc"));
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

    Connect();
}

void PlanPanel::Connect() {
    // Ticks set from code count as clicks too, so the pair stays consistent whoever sets it.
    connect(modeOne_, &QCheckBox::toggled, this, &PlanPanel::ModeOneClicked);
    connect(modeTwo_, &QCheckBox::toggled, this, &PlanPanel::ModeTwoClicked);
    connect(instances_, &QLineEdit::textChanged, this, &PlanPanel::CleanInstanceCount);
    connect(start_, &QPushButton::clicked, this, &PlanPanel::StartPlan);
    connect(clear_, &QPushButton::clicked, this, &PlanPanel::ClearPlan);
    connect(copyBase_, &QPushButton::clicked, this, &PlanPanel::CopyPlanBase);
    connect(copyPlan_, &QPushButton::clicked, this, &PlanPanel::CopyPlan);
    connect(preview_, &QPushButton::clicked, this, &PlanPanel::PreviewCurve);
}

std::array<QLineEdit*, 9> PlanPanel::SettingsBoxes() const {
    return {instances_,          instanceTolerance_,  groups_[0],
            groupTolerances_[0], groups_[1],          groupTolerances_[1],
            groups_[2],          groupTolerances_[2], totalTolerance_};
}

void PlanPanel::SelectModeOne() {
    modeOne_->setChecked(true);
}

void PlanPanel::TickAutoPlan() {
    autoPlan_->setChecked(true);
}

void PlanPanel::SetLogFontSize(int points) {
    QFont font = log_->font();
    font.setPointSize(points);
    log_->setFont(font);
}

bool PlanPanel::AutoPlanTicked() const {
    return autoPlan_->isChecked();
}

bool PlanPanel::ModeTwoSelected() const {
    return modeTwo_->isChecked();
}

BankerSettings PlanPanel::Banker() const {
    return {banker_->isChecked(), bankerNumbers_->text().toStdString(),
            bankerCounts_->text().toStdString()};
}

std::array<std::string, 2> PlanPanel::ResultWords() const {
    return {words_[0]->text().toStdString(), words_[1]->text().toStdString()};
}

PlanLogInput PlanPanel::LogInput() const {
    return {autoPlan_->isChecked(), BoxText(signature_), BoxText(tally_)};
}

LineBasesInput PlanPanel::Lines() const {
    LineBasesInput lines;
    if (links_.monitor) lines.Op_jiankong_zihui = links_.monitor->RecomputeEachPeriod();
    if (links_.draw) lines.T_quxian_zhushu = links_.draw->LineSizes();
    return lines;
}

PlanModeOneInput PlanPanel::ModeOneInput() const {
    PlanModeOneInput input;
    input.T_jh_dadi_chongfu_cs = instances_->text().toStdString();
    input.T_jh_dadi_chongfu_rc = instanceTolerance_->text().toStdString();
    input.lines = Lines();
    if (links_.monitor) {
        input.selection.T_jiankong_rc = links_.monitor->LineTolerance();
        input.selection.Ch_jiankong_jj = links_.monitor->CheckedLines();
    }
    input.selection.banker = Banker();
    input.log = LogInput();
    return input;
}

PlanModeTwoInput PlanPanel::ModeTwoInput() const {
    PlanModeTwoInput input;
    input.T_jh_dadi_fenzu_01 = groups_[0]->text().toStdString();
    input.T_jh_dadi_fenzu_02 = groups_[1]->text().toStdString();
    input.T_jh_dadi_fenzu_03 = groups_[2]->text().toStdString();
    input.T_jh_dadi_fenzu_01_rc = groupTolerances_[0]->text().toStdString();
    input.T_jh_dadi_fenzu_02_rc = groupTolerances_[1]->text().toStdString();
    input.T_jh_dadi_fenzu_03_rc = groupTolerances_[2]->text().toStdString();
    input.T_jh_dadi_fenzu_rc = totalTolerance_->text().toStdString();
    input.lines = Lines();
    input.banker = Banker();
    input.log = LogInput();
    return input;
}

void PlanPanel::StartPlan() {
    if (running_) return;
    if (ctx_.state.UpdateCount == 0) {
        ctx_.Show(this, QString::fromUtf8(kMsgNoDrawData), QString::fromUtf8(kTitleNoDrawData));
        return;
    }
    running_ = true;
    stopRequested_ = false;
    eventsLetIn_.start();
    links_.backup->ShowProgressPanel(true);
    start_->setEnabled(false);
    bool goOn = true;
    if (modeOne_->isChecked()) goOn = RunModeOne();
    if (goOn && modeTwo_->isChecked()) goOn = RunModeTwo();
    if (goOn) JoinBackupIntoPlan();
    start_->setEnabled(true);
    links_.backup->ShowProgressPanel(false);
    running_ = false;
    emit planFinished();
}

void PlanPanel::StopPlan() {
    if (running_) stopRequested_ = true;
}

bool PlanPanel::ReportProgress(const std::string& text) {
    links_.backup->PrintProgressText(QString::fromStdString(text));
    // The window repaints, shows the text and stays usable between instances; the disabled
    // "开始计划" keeps a second plan from starting inside this one. Instances take a fraction
    // of a millisecond, and letting events in repaints the progress every time, which cost more
    // than the plan itself; once a frame's time has passed is often enough for the window to
    // answer at once and for the text to be read.
    if (eventsLetIn_.elapsed() >= kProgressFrameMs) {
        QCoreApplication::processEvents();
        eventsLetIn_.start();
    }
    return !stopRequested_;
}

bool PlanPanel::RunModeOne() {
    // Every run starts from the lines on disk, not from those read at start-up.
    if (!ReadCurveStoreGuarded(ctx_.state, ctx_.StoreFile(), 1)) {
        ctx_.StoreBroken(this);
        return false;
    }
    const PlanRunOutput out =
        RunPlanModeOne(ModeOneInput(), ctx_.state.CurveStoreLines, ctx_.state, ctx_.rng,
                       [this](const std::string& text) { return ReportProgress(text); });
    if (out.status == PlanRunStatus::Cancelled) return false;
    // An input error has been reported and ends this mode only; the join still follows.
    ShowRunOutput(out);
    return true;
}

bool PlanPanel::RunModeTwo() {
    const PlanRunOutput out =
        RunPlanModeTwo(ModeTwoInput(), ctx_.state.CurveStoreLines, ctx_.state, ctx_.rng,
                       [this](const std::string& text) { return ReportProgress(text); });
    if (out.status == PlanRunStatus::Cancelled) return false;
    ShowRunOutput(out);
    return true;
}

void PlanPanel::ShowRunOutput(const PlanRunOutput& out) {
    for (const Message& message : out.messages) ctx_.Show(this, message);
    if (out.T_jihua_jj_dadi) SetBoxText(planBase_, *out.T_jihua_jj_dadi);
    if (out.T_jihua_jj_dadi_zhushu)
        planCount_->setText(QString::fromStdString(*out.T_jihua_jj_dadi_zhushu));
    if (out.T_jihua_jj_dadi_by && out.T_jihua_jj_dadi_zhushu_by) {
        links_.backup->SetPlanBackup(QString::fromStdString(*out.T_jihua_jj_dadi_by),
                                     QString::fromStdString(*out.T_jihua_jj_dadi_zhushu_by));
    }
    if (out.Tdadi && out.T_sj_zhushu) {
        links_.draw->ShowSearchResult(QString::fromStdString(*out.Tdadi),
                                      QString::fromStdString(*out.T_sj_zhushu));
    }
    if (out.log) ShowLog(*out.log);
}

void PlanPanel::ShowLog(const PendingRecordOutput& log) {
    SetChangedBoxText(log_, log.T_jh_dadi_jilu);
    SelectLastCharacter(log_);
    SelectLastCharacter(tally_);
}

void PlanPanel::JoinBackupIntoPlan() {
    const JoinBackupOutput out = xuan5::JoinBackupIntoPlan(
        {links_.backup->JoinTicked(), links_.backup->BackupInput(), BoxText(planBase_)}, LogInput(),
        ctx_.state);
    if (out.backup) links_.backup->ShowBackupResult(*out.backup);
    if (out.plan) {
        SetChangedBoxText(planBase_, out.plan->text);
        planCount_->setText(QString::fromStdString(out.plan->count));
    }
    if (out.log) ShowLog(*out.log);
}

void PlanPanel::SetPlanBase(const QString& text, const QString& count) {
    SetBoxText(planBase_, text.toStdString());
    planCount_->setText(count);
}

void PlanPanel::WritePendingRecord() {
    if (const std::optional<PendingRecordOutput> log =
            xuan5::WritePendingRecord(LogInput(), planCount_->text().toStdString(), ctx_.state)) {
        ShowLog(*log);
    }
}

void PlanPanel::WriteResultRecord() {
    ResultRecordInput input;
    input.T_jihua_jj_dadi = BoxText(planBase_);
    input.T_jihua_jj_dadi_zhushu = planCount_->text().toStdString();
    input.T_zdy_yongyu = ResultWords();
    input.Check_jh_dadi_fenzu = modeTwo_->isChecked();
    input.T_jh_dadi_chongfu_cs = instances_->text().toStdString();
    if (links_.monitor) {
        input.Ch_jiankong_jj = links_.monitor->CheckedLines();
        input.T_jiankong_15di_geshu = links_.monitor->CheckedLineCount();
    }
    input.T_jh_rc = BoxText(tally_);
    SetBoxText(tally_, xuan5::WriteResultRecord(input, ctx_.state).T_jh_rc);
}

void PlanPanel::ModeOneClicked() {
    modeTwo_->setChecked(!modeOne_->isChecked());
}

void PlanPanel::ModeTwoClicked() {
    modeOne_->setChecked(!modeTwo_->isChecked());
}

void PlanPanel::CleanInstanceCount() {
    const QString text = instances_->text();
    QString digits;
    for (const QChar c : text) {
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) digits.append(c);
    }
    if (digits == text) return;
    // setText puts the caret after the last character; the change it fires finds the text clean.
    instances_->setText(digits);
}

void PlanPanel::ClearPlan() {
    ctx_.state.PlanRecordCount = 0;
    log_->clear();
    tally_->clear();
}

void PlanPanel::CopyPlanBase() {
    QString text = planBase_->toPlainText();
    if (noCommas_->isChecked()) text.replace(QLatin1Char(','), QLatin1Char(' '));
    CopyToClipboard(ctx_, this, text);
}

void PlanPanel::CopyPlan() {
    QString planLine = QString::fromStdString(ListBetsInText(BoxText(planBase_)));
    if (noCommas_->isChecked()) planLine.replace(QLatin1Char(','), QLatin1Char(' '));
    const QString log = log_->toPlainText();
    CopyToClipboard(
        ctx_, this,
        withBets_->isChecked() ? planLine + QLatin1Char('\n') + log + QLatin1Char('\n') : log);
}

void PlanPanel::PreviewCurve() {
    if (ctx_.state.UpdateCount == 0) {
        ctx_.Show(this, QString::fromUtf8(kMsgNoDrawData), QString::fromUtf8(kTitleNoDrawData));
        return;
    }
    // One bet per line becomes one line of bets separated by single spaces.
    std::string text(TrimSpaces(BoxText(planBase_)));
    text = ReplaceAll(text, "\n", "*");
    text = ReplaceAll(text, "\r", "*");
    text = ReplaceAll(text, "**", " ");
    links_.showPanel(0);
    links_.draw->SetBaseText(QString::fromStdString(std::string(TrimSpaces(text))));
    links_.draw->ShowBaseCurve();
}

}  // namespace xuan5::ui
