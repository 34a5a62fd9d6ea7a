#include "ui/plan/plan_panel.h"
#include "core/message_titles.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>

#include "core/result.h"
#include "core/text.h"
#include "plans/plan_issue.h"
#include "plans/plan_log.h"
#include "plans/plan_settlement.h"
#include "records/record_book.h"
#include "ui/common/app_context.h"
#include "ui/common/panel_links.h"
#include "ui/common/qt_text.h"
#include "ui/widgets/clipboard.h"
#include "ui/widgets/kept_settings.h"
#include "ui/widgets/text_boxes.h"

namespace xuan5::ui {

namespace {

// Setting a box lays its whole text out again; the backup join and the pending record often hand
// back what the box shows already, a few hundred lines of it.
template <typename Box>
void SetChangedBoxText(Box* box, const std::string& text) {
    if (BoxText(box) != text) SetBoxText(box, text);
}

}  // namespace

PlanPanel::PlanPanel(Services& services, Session& session, const PanelLinks& links, QWidget* parent)
    : QGroupBox(QStringLiteral("计划"), parent),
      services_(services),
      session_(session),
      links_(links) {
    setObjectName(QStringLiteral("Frame_ding_2"));
    BuildLayout();
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

std::array<std::string, PlanPanel::kSettingsTexts> PlanPanel::SettingsTexts() const {
    std::array<std::string, kSettingsTexts> texts;
    for (int i = 0; i < kSettingsTexts; ++i) {
        texts[static_cast<std::size_t>(i)] = SettingsBox(i)->text().toStdString();
    }
    return texts;
}

void PlanPanel::SetSettingsText(int index, const QString& text) {
    SettingsBox(index)->setText(text);
}

QLineEdit* PlanPanel::SettingsBox(int index) const {
    const std::array<QLineEdit*, kSettingsTexts> boxes = {
        instances_,          instanceTolerance_,  groups_[0],
        groupTolerances_[0], groups_[1],          groupTolerances_[1],
        groups_[2],          groupTolerances_[2], totalTolerance_};
    return boxes[static_cast<std::size_t>(index)];
}

void PlanPanel::KeepSettings(QSettings& settings) {
    // The plan's inputs and the words and signature of its log; the plan base and the log are
    // what the plans made, not settings.
    std::vector<QWidget*> controls{modeOne_,        instances_, instanceTolerance_, modeTwo_,
                                   totalTolerance_, banker_,    bankerNumbers_,     bankerCounts_,
                                   autoPlan_,       withBets_,  noCommas_,          signature_};
    AppendControls(controls, groups_);
    AppendControls(controls, groupTolerances_);
    AppendControls(controls, words_);
    KeepControls(settings, QStringLiteral("plan"), controls);
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
    if (links_.lineSelection) lines.searchEveryPeriod = links_.lineSelection().searchEveryPeriod;
    if (links_.lineSizes) lines.lineSizes = links_.lineSizes();
    return lines;
}

PlanModeOneInput PlanPanel::ModeOneInput() const {
    PlanModeOneInput input;
    input.instances = instances_->text().toStdString();
    input.instanceTolerance = instanceTolerance_->text().toStdString();
    input.lines = Lines();
    if (links_.lineSelection) {
        const LineSelection selection = links_.lineSelection();
        input.selection.lineTolerance = selection.lineTolerance;
        input.selection.checkedLines = selection.checkedLines;
    }
    input.selection.banker = Banker();
    input.log = LogInput();
    return input;
}

PlanModeTwoInput PlanPanel::ModeTwoInput() const {
    PlanModeTwoInput input;
    input.group1 = groups_[0]->text().toStdString();
    input.group2 = groups_[1]->text().toStdString();
    input.group3 = groups_[2]->text().toStdString();
    input.group1Tolerance = groupTolerances_[0]->text().toStdString();
    input.group2Tolerance = groupTolerances_[1]->text().toStdString();
    input.group3Tolerance = groupTolerances_[2]->text().toStdString();
    input.groupTotalTolerance = totalTolerance_->text().toStdString();
    input.lines = Lines();
    input.banker = Banker();
    input.log = LogInput();
    return input;
}

PlanSettings PlanPanel::Settings() const {
    PlanSettings settings;
    settings.useModeTwo = ModeTwoSelected();
    settings.modeOne = ModeOneInput();
    settings.modeTwo = ModeTwoInput();
    settings.backup.participates = links_.backup.joinTicked();
    settings.backup.backup = links_.backup.input();
    settings.resultWords = ResultWords();
    return settings;
}

void PlanPanel::ApplySettings(const PlanSettings& settings) {
    // Ticking one mode unticks the other through the pair's handlers.
    (settings.useModeTwo ? modeTwo_ : modeOne_)->setChecked(true);
    const PlanModeOneInput& one = settings.modeOne;
    const PlanModeTwoInput& two = settings.modeTwo;
    const std::array<const std::string*, kSettingsTexts> texts = {&one.instances,
                                                                  &one.instanceTolerance,
                                                                  &two.group1,
                                                                  &two.group1Tolerance,
                                                                  &two.group2,
                                                                  &two.group2Tolerance,
                                                                  &two.group3,
                                                                  &two.group3Tolerance,
                                                                  &two.groupTotalTolerance};
    for (int i = 0; i < kSettingsTexts; ++i)
        SetSettingsText(i, QString::fromStdString(*texts[static_cast<std::size_t>(i)]));
    const BankerSettings& banker = settings.useModeTwo ? two.banker : one.selection.banker;
    banker_->setChecked(banker.enabled);
    bankerNumbers_->setText(QString::fromStdString(banker.numbers));
    bankerCounts_->setText(QString::fromStdString(banker.tolerance));
}

void PlanPanel::StartPlan() {
    if (running_) return;
    if (!RequireDraws(services_, session_, this)) return;
    running_ = true;
    stopRequested_ = false;
    eventsLetIn_.start();
    links_.backup.showProgress(true);
    start_->setEnabled(false);
    bool goOn = true;
    if (modeOne_->isChecked()) goOn = RunModeOne();
    if (goOn && modeTwo_->isChecked()) goOn = RunModeTwo();
    if (goOn) JoinBackupIntoPlan();
    SaveBook(services_, session_, this, session_.RegionCode);
    start_->setEnabled(true);
    links_.backup.showProgress(false);
    running_ = false;
    emit planFinished();
}

void PlanPanel::StopPlan() {
    if (running_) stopRequested_ = true;
}

bool PlanPanel::ReportProgress(const std::string& text) {
    links_.backup.printProgress(QString::fromStdString(text));
    return LetEventsIn();
}

bool PlanPanel::LetEventsIn() {
    // The window repaints, shows the progress and stays usable between instances; the disabled
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
    if (!ReloadCurveStore(services_, session_)) {
        services_.StoreBroken(this);
        return false;
    }
    // An input error has been reported and ends this mode only; the join still follows.
    return ShowRun(RunPlanModeOne(
        ModeOneInput(), session_.CurveStoreLines, session_.PlanInputs(), services_.rng,
        [this](const std::string& text) { return ReportProgress(text); }));
}

bool PlanPanel::RunModeTwo() {
    return ShowRun(RunPlanModeTwo(
        ModeTwoInput(), session_.CurveStoreLines, session_.PlanInputs(), services_.rng,
        [this](const std::string& text) { return ReportProgress(text); }));
}

bool PlanPanel::ShowRun(const Result<PlanRunOutput>& run) {
    if (run.Cancelled()) return false;
    if (!run) {
        for (const Message& message : run.messages()) services_.Show(this, message);
        return true;
    }
    for (const Message& message : run->messages) services_.Show(this, message);
    SetBoxText(planBase_, run->plan.text);
    planCount_->setText(QString::fromStdString(run->plan.count));
    links_.backup.setPlanCopy(QString::fromStdString(run->backup.text),
                              QString::fromStdString(run->backup.count));
    IssueIntoBook(&*run);
    return true;
}

ResultRecordInput PlanPanel::RecordInput() const {
    ResultRecordInput input;
    input.plan.text = BoxText(planBase_);
    input.plan.count = planCount_->text().toStdString();
    input.useModeTwo = modeTwo_->isChecked();
    input.instances = instances_->text().toStdString();
    if (links_.lineSelection) {
        const LineSelection selection = links_.lineSelection();
        input.checkedLines = selection.checkedLines;
        input.checkedLineCount = selection.checkedLineCount;
    }
    return input;
}

ShownPlan PlanPanel::BoxPlan() const {
    const PlanBaseText copy = links_.backup.planCopy();
    return {BoxText(planBase_), planCount_->text().toStdString(), copy.text, copy.count};
}

void PlanPanel::IssueIntoBook(const PlanRunOutput* run) {
    // The record keeps the plan it was issued with and the bases its tally counts, so that it is
    // settled with them whatever is shown when its draw comes.
    RecordBook& book = session_.Shown();
    static const std::optional<LineTexts> kKeptBases;
    static const std::optional<std::vector<std::string>> kKeptInstances;
    const std::optional<LineTexts>& lineBases = run ? run->LineBases : kKeptBases;
    const std::optional<std::vector<std::string>>& instances =
        run ? run->InstanceBases : kKeptInstances;
    const RecordBasis basis =
        MakeRecordBasis(RecordInput(), lineBases ? *lineBases : book.Bases().lineBases,
                        instances ? *instances : book.Bases().instanceBases);
    book.IssuePlan(lineBases, instances, BoxPlan(), LogInput(), basis);
    ShowRecords(false);
}

void PlanPanel::ShowRecords(bool withPlan) {
    const RecordBook& book = session_.Shown();
    if (withPlan) {
        const ShownPlan& plan = book.Plan();
        SetChangedBoxText(planBase_, plan.base);
        planCount_->setText(QString::fromStdString(plan.count));
        links_.backup.setPlanCopy(QString::fromStdString(plan.backupBase),
                                  QString::fromStdString(plan.backupCount));
    }
    SetChangedBoxText(log_, PlanLogText(book.Log(), BoxText(signature_)));
    SetChangedBoxText(tally_, TallyText(book.Log()));
    SelectLastCharacter(log_);
    SelectLastCharacter(tally_);
}

bool PlanPanel::PlanForRegion(RecordBook& book) {
    if (running_) return true;
    if (!ReloadCurveStore(services_, session_)) return true;
    running_ = true;
    stopRequested_ = false;
    eventsLetIn_.start();
    start_->setEnabled(false);
    const TrendLineTable noLine{};
    const PlanTables tables{book.History(), book.Keys(), book.Bases().lineBases, noLine,
                            book.Log()};
    // Its notices are the shown region's too, which shows them when it plans.
    const PlanSettings settings = Settings();
    const Result<IssuedPlan> plan =
        MakePlan(settings, session_.CurveStoreLines, tables, services_.rng,
                 [this](const std::string&) { return LetEventsIn(); });
    if (plan) IssueMadePlan(book, *plan, settings);
    start_->setEnabled(true);
    running_ = false;
    emit planFinished();
    return !plan.Cancelled();
}

void PlanPanel::JoinBackupIntoPlan() {
    // Unticked, the join leaves everything as it is: the boxes need not be read.
    if (!links_.backup.joinTicked()) return;
    const JoinBackupOutput out = xuan5::JoinBackupIntoPlan(
        {links_.backup.joinTicked(), links_.backup.input(), {BoxText(planBase_), ""}}, LogInput(),
        session_.DrawHistory(), session_.Shown().Log());
    if (out.backup) links_.backup.showResult(*out.backup);
    if (out.plan) {
        SetChangedBoxText(planBase_, out.plan->text);
        planCount_->setText(QString::fromStdString(out.plan->count));
    }
    if (out.plan) IssueIntoBook(nullptr);
}

void PlanPanel::FollowBackupIntersection() {
    if (links_.backup.joinTicked()) {
        JoinBackupIntoPlan();
    } else {
        // Undo an earlier join: the plan base goes back to the last plan-mode result.
        const PlanBaseText copy = links_.backup.planCopy();
        SetPlanBase(Q(copy.text), Q(copy.count));
    }
    WritePendingRecord();
}

void PlanPanel::SetPlanBase(const QString& text, const QString& count) {
    SetBoxText(planBase_, text.toStdString());
    planCount_->setText(count);
}

void PlanPanel::WritePendingRecord() {
    // Without a draw there is no period for a record to wait for.
    if (!session_.HasDraws()) return;
    IssueIntoBook(nullptr);
    SaveBook(services_, session_, this, session_.RegionCode);
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
    // The records are the user's judgement of his lines, kept on disk: they go only when he
    // says so.
    const int region = session_.RegionCode;
    const QString question =
        QStringLiteral("确定清空%1的计划记录吗？清空后无法恢复。").arg(RegionName(region));
    if (services_.Show(this, question, Q(kTitleNotice), MessageButtons::YesNo) !=
        MessageAnswer::Yes) {
        return;
    }
    // The log starts again from slot 0; no record of before comes back.
    session_.Shown().ClearLog();
    SaveBook(services_, session_, this, region);
    log_->SetText(QString());
    tally_->SetText(QString());
}

void PlanPanel::CopyPlanBase() {
    QString text = QString::fromStdString(OnePerLine(planBase_->Text().toStdString(), "\n"));
    if (noCommas_->isChecked()) text.replace(QLatin1Char(','), QLatin1Char(' '));
    CopyToClipboard(this, text);
}

void PlanPanel::CopyPlan() {
    // The bets one per line like every copy, the last line break parting them from the log.
    QString planLines = QString::fromStdString(ListBetsInText(BoxText(planBase_), "\n"));
    if (noCommas_->isChecked()) planLines.replace(QLatin1Char(','), QLatin1Char(' '));
    const QString log = log_->Text();
    CopyToClipboard(this, withBets_->isChecked() ? planLines + log + QLatin1Char('\n') : log);
}

void PlanPanel::PreviewCurve() {
    if (!RequireDraws(services_, session_, this)) return;
    // One bet per line becomes one line of bets separated by single spaces.
    std::string text(TrimSpaces(BoxText(planBase_)));
    text = ReplaceAll(text, "\n", "*");
    text = ReplaceAll(text, "\r", "*");
    text = ReplaceAll(text, "**", " ");
    links_.showBase(QString::fromStdString(std::string(TrimSpaces(text))));
}

}  // namespace xuan5::ui
