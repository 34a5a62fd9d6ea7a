#include "ui/backtest/fxunyou.h"
#include "ui/backtest/number_boxes.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShortcut>
#include <QTabWidget>
#include <QTableWidget>

#include "backtest/backtest_chart.h"
#include "backtest/histogram.h"
#include "backtest/run_scope.h"
#include "core/text.h"
#include "protocol/endpoints.h"
#include "ui/backtest/result_tables.h"
#include "ui/backtest/run_inputs.h"
#include "ui/backtest/stat_plots.h"
#include "ui/common/app_context.h"
#include "ui/common/archive_service.h"
#include "ui/common/panel_links.h"
#include "ui/widgets/chart_widget.h"

namespace xuan5::ui {

namespace {

constexpr int kMaxBest = 20;
constexpr std::size_t kMaxTableRows = 3000;
constexpr int kHistogramBins = 30;

// "MM-DD NNN" of "YYYY-MM-DD NNN".
QString WithoutYear(const std::string& label) {
    const QString text = Q(label);
    return text.size() > 5 && text[4] == QLatin1Char('-') ? text.mid(5) : text;
}

// A z-score with an arrow where it leaves the chance band.
QString ZText(const ChanceBand& band) {
    const QString z = QString::number(band.z, 'f', 2);
    if (band.verdict == ChanceVerdict::Above) return z + QStringLiteral("↑");
    if (band.verdict == ChanceVerdict::Below) return z + QStringLiteral("↓");
    return z;
}

// A z cell, its arrow explained in the tool tip.
void SetZCell(QTableWidget* table, int row, int column, const ChanceBand& band) {
    SetResultCell(table, row, column, ZText(band))->setToolTip(Q(kZTip));
}

}  // namespace

Fxunyou::Fxunyou(Services& services, const Session& session, const PanelLinks& links,
                 ArchiveService& archive, QWidget* parent)
    : QWidget(parent, Qt::Window),
      services_(services),
      session_(session),
      links_(links),
      archive_(archive),
      runner_(new OptimiserRunner(
          [this](int percent) { progress_->setValue(percent); },
          [this](const OptimiserRunner::Outcome& outcome) { FinishRun(outcome); }, this)),
      nullRunner_(new NullRunner(
          [this](int percent) { progress_->setValue(percent); },
          [this](const NullRunner::Outcome& outcome) { FinishNull(outcome); }, this)) {
    setObjectName(QStringLiteral("Fxunyou"));
    setWindowTitle(QStringLiteral("寻优"));
    BuildLayout();
    // No larger than the screen it opens on (a 1280 x 720 one included).
    resize(QSize(1300, 700).boundedTo(screen()->availableGeometry().size()));
    SetRunning(false);
    connect(start_, &QPushButton::clicked, this, &Fxunyou::StartRun);
    connect(cancel_, &QPushButton::clicked, this, &Fxunyou::CancelRun);
    connect(apply_, &QPushButton::clicked, this, &Fxunyou::Apply);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setObjectName(QStringLiteral("Sc_xunyou_guanbi"));
    connect(escape, &QShortcut::activated, this, &QWidget::close);
}

Fxunyou::~Fxunyou() {
    // The runners go first, while the widgets their last answers would fill are still there.
    delete nullRunner_;
    delete runner_;
}

void Fxunyou::ShowOver(QWidget* main) {
    if (!isVisible()) {
        // Its size as it will show, which its controls may widen.
        resize(size().expandedTo(minimumSizeHint()));
        QRect frame = frameGeometry();
        frame.moveCenter(main->window()->frameGeometry().center());
        // On the screen where it fits there, its title bar always within reach.
        const QRect screenArea = main->screen()->availableGeometry();
        if (frame.width() <= screenArea.width()) {
            frame.moveLeft(
                std::clamp(frame.left(), screenArea.left(), screenArea.right() - frame.width()));
        }
        frame.moveTop(std::clamp(frame.top(), screenArea.top(),
                                 std::max(screenArea.top(), screenArea.bottom() - frame.height())));
        move(frame.topLeft());
    }
    show();
    raise();
    activateWindow();
}

void Fxunyou::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    ShowMode(links_.planSettings && links_.planSettings().useModeTwo);
}

void Fxunyou::ShowMode(bool modeTwo) {
    mode_->setText(modeTwo
                       ? QStringLiteral("当前为计划模式二：寻优改变分组容对、分组总容对和每线注数")
                       : QStringLiteral("当前为计划模式一：寻优改变线路容对、参与线路、多开次数、"
                                        "总容对和每线注数"));
    for (int i = 0; i < kChoices; ++i) {
        const bool used = Used(i, modeTwo);
        vary_[i]->setEnabled(used);
        lists_[i]->setEnabled(used);
    }
}

void Fxunyou::Error(const QString& text) {
    services_.Show(this, text, QString::fromUtf8(kTitleErrorNotice), MessageButtons::Ok,
                   MessageKind::Failure);
}

void Fxunyou::SetRunning(bool running) {
    if (running) {
        HandOver(cancel_, {start_});
    } else {
        HandOver(start_, {cancel_});
    }
    // The null runs leave the search's result to be applied meanwhile.
    apply_->setEnabled(!runner_->Running());
}

std::optional<OptimiserSpace> Fxunyou::ReadSpace(bool modeTwo) {
    OptimiserSpace space;
    const auto ticked = [&](Choice choice) {
        return Used(choice, modeTwo) && vary_[choice]->isChecked();
    };
    const auto text = [&](Choice choice) { return lists_[choice]->text().toStdString(); };
    const auto read = [&](auto parsed, auto& into) {
        if (!parsed) {
            services_.Show(this, parsed.messages().front());
            return false;
        }
        into = std::move(*parsed);
        return true;
    };
    std::vector<int> counts;
    if (ticked(kBetCounts)) {
        if (!read(ParseCountChoices(text(kBetCounts), 1, 980, "每线注数"), counts)) return {};
        for (int count : counts) {
            LineSizeTexts sizes;
            sizes.fill(std::to_string(count));
            space.betCounts.push_back(sizes);
        }
    }
    if ((ticked(kLineTolerance) &&
         !read(ParseToleranceChoices(text(kLineTolerance)), space.lineTolerances)) ||
        (ticked(kLines) && !read(ParseLineChoices(text(kLines)), space.lineChoices)) ||
        (ticked(kInstances) &&
         !read(ParseCountChoices(text(kInstances), 1, kMaxOptimiserInstances, "多开次数"),
               space.instanceCounts)) ||
        (ticked(kTotal) && !read(ParseToleranceChoices(text(kTotal)), space.instanceTolerances)) ||
        (ticked(kGroups) && !read(ParseToleranceChoices(text(kGroups)), space.groupTolerances)) ||
        (ticked(kGroupTotal) &&
         !read(ParseToleranceChoices(text(kGroupTotal)), space.groupTotals))) {
        return std::nullopt;
    }
    return space;
}

std::optional<OptimiserRunner::Request> Fxunyou::PrepareRun() {
    const auto periods = BoxNumber(periods_, 2, kMaxHistoryDraws);
    const auto training = BoxNumber(training_, 1, kMaxHistoryDraws);
    const auto testing = BoxNumber(testing_, 1, kMaxHistoryDraws);
    const auto best = BoxNumber(best_, 1, kMaxBest);
    const auto most = BoxNumber(maxCandidates_, 1, kMaxOptimiserCandidates);
    const auto blocks = BoxNumber(blocks_, 2, kMaxOverfittingBlocks);
    const auto nullRuns = BoxNumber(nullRuns_, 1, kMaxNullRuns);
    if (!periods || !training || !testing) {
        Error(QStringLiteral("寻优期数、训练期数和检验期数须为1到%1").arg(kMaxHistoryDraws));
        return std::nullopt;
    }
    if (!blocks || !OverfittingBlocksFit(*blocks, static_cast<std::size_t>(*periods))) {
        Error(Q(kMsgOverfittingBlocks));
        return std::nullopt;
    }
    if (nullTick_->isChecked() && !nullRuns) {
        Error(QStringLiteral("随机对照次数须为1到%1").arg(kMaxNullRuns));
        return std::nullopt;
    }
    if (!best) {
        Error(QStringLiteral("每段取前须为1到%1").arg(kMaxBest));
        return std::nullopt;
    }
    if (!most) {
        Error(QStringLiteral("候选上限须为1到%1").arg(kMaxOptimiserCandidates));
        return std::nullopt;
    }
    const std::optional<std::uint64_t> seed = BoxSeed(seed_);
    if (!seed) {
        Error(QStringLiteral("种子须为0或正整数"));
        return std::nullopt;
    }

    OptimiserRunner::Request request;
    static_cast<PlanSettings&>(request.settings) = links_.planSettings();
    const bool modeTwo = request.settings.useModeTwo;
    ShowMode(modeTwo);
    const std::optional<OptimiserSpace> space = ReadSpace(modeTwo);
    if (!space) return std::nullopt;
    Result<std::vector<OptimiserCandidate>> candidates =
        BuildCandidates(request.settings, *space, *most, *seed);
    if (!candidates) {
        services_.Show(this, candidates.messages().front());
        return std::nullopt;
    }
    std::optional<RunInputs> inputs = ReadRunInputs(services_, session_, archive_, this, *periods);
    if (!inputs) return std::nullopt;
    request.settings.savedLines = std::move(inputs->savedLines);
    request.settings.LineBases = session_.LineBases();
    request.archive = std::move(inputs->draws);
    request.candidates = std::move(*candidates);
    request.options = {*periods,
                       *training,
                       *testing,
                       *best,
                       rankByTotal_->isChecked() ? OptimiserRank::Total : OptimiserRank::Z,
                       *seed,
                       0,
                       *blocks};
    pendingNullRuns_ = nullTick_->isChecked() ? *nullRuns : 0;
    pendingLists_ = DescribeSpace(*space);
    pendingHeld_ = inputs->heldDraws;
    pendingRegion_ = RegionName(session_.RegionCode).toStdString();
    return request;
}

void Fxunyou::StartRun() {
    if (Running()) return;
    std::optional<OptimiserRunner::Request> request = PrepareRun();
    if (!request) return;
    pending_ = std::move(*request);
    progress_->setValue(0);
    state_->setText(QStringLiteral("寻优中：%1个候选……").arg(pending_.candidates.size()));
    runner_->Start(pending_);
    SetRunning(true);
}

void Fxunyou::CancelRun() {
    if (!Running()) return;
    runner_->Cancel();
    nullRunner_->Cancel();
    state_->setText(QStringLiteral("正在取消……"));
}

void Fxunyou::FinishRun(const OptimiserRunner::Outcome& outcome) {
    if (!outcome->ok()) {
        SetRunning(false);
        progress_->setValue(0);
        state_->setText(outcome->Cancelled() ? QStringLiteral("已取消") : QStringLiteral("未完成"));
        for (const Message& message : outcome->messages()) services_.Show(this, message);
        emit runFinished();
        return;
    }
    progress_->setValue(100);
    runSettings_ = pending_.settings;
    candidates_ = pending_.candidates;
    result_ = **outcome;
    null_.reset();
    ShowResult(*result_);
    const Fold& newest = result_->folds.back();
    const RunScope scope{pendingRegion_, result_->folds.front().from,
                         newest.to,      static_cast<int>(newest.trainFirst + newest.trainCount),
                         pendingHeld_,   pending_.options.seed};
    scope_->setText(JoinedLines(
        OptimiserScope(scope, runSettings_,
                       {candidates_.size(), pendingLists_, pending_.options, pendingNullRuns_})));
    QString done =
        QStringLiteral("完成：%1个候选，%2段").arg(candidates_.size()).arg(result_->folds.size());
    std::size_t picks = 0;
    for (const Fold& fold : result_->folds) picks += fold.picks.size();
    if (rowCandidates_.size() < picks)
        done += QStringLiteral("（表中列出最近的%1行）").arg(rowCandidates_.size());
    for (const Message& message : result_->notices) services_.Show(this, message);
    if (pendingNullRuns_ == 0) {
        state_->setText(done);
        ShowVerdict(QStringLiteral("未做随机对照：这个结果没有和纯随机开奖上的同样寻优比较。"));
        SetRunning(false);
        emit runFinished();
        return;
    }
    // The search again on fair archives, while the window shows what it found.
    state_->setText(
        done +
        QStringLiteral("；随机对照：在%1个纯随机开奖存档上重做同样的寻优……").arg(pendingNullRuns_));
    ShowVerdict(QStringLiteral("随机对照进行中……"));
    progress_->setValue(0);
    nullRunner_->Start(pending_, pendingNullRuns_);
    SetRunning(true);
}

void Fxunyou::FinishNull(const NullRunner::Outcome& outcome) {
    SetRunning(false);
    if (outcome->ok()) {
        progress_->setValue(100);
        null_ = **outcome;
        ShowNull();
        state_->setText(QStringLiteral("完成：%1个候选，随机对照%2次")
                            .arg(candidates_.size())
                            .arg(null_->size()));
    } else {
        progress_->setValue(0);
        state_->setText(outcome->Cancelled() ? QStringLiteral("随机对照已取消")
                                             : QStringLiteral("随机对照未完成"));
        ShowVerdict(QStringLiteral("随机对照未做完：这个结果没有和纯随机开奖上的同样寻优比较。"));
        for (const Message& message : outcome->messages()) services_.Show(this, message);
    }
    emit runFinished();
}

void Fxunyou::ShowResult(const OptimiserResult& result) {
    const bool modeTwo = runSettings_.useModeTwo;
    // Short test spans over a long archive make thousands of spans; the table lists the newest
    // of them, the chart and the sentence cover all.
    std::size_t firstFold = 0;
    std::size_t rows = 0;
    for (std::size_t f = result.folds.size(); f-- > 0;) {
        if (rows + result.folds[f].picks.size() > kMaxTableRows) break;
        rows += result.folds[f].picks.size();
        firstFold = f;
    }
    rowCandidates_.clear();
    table_->setUpdatesEnabled(false);
    table_->setRowCount(static_cast<int>(rows));
    int r = 0;
    for (std::size_t f = firstFold; f < result.folds.size(); ++f) {
        const Fold& fold = result.folds[f];
        const bool last = fold.testCount == 0;
        for (std::size_t k = 0; k < fold.picks.size(); ++k, ++r) {
            const FoldPick& pick = fold.picks[k];
            rowCandidates_.push_back(pick.candidate);
            SetResultCell(table_, r, 0, last ? QStringLiteral("当前") : QString::number(f + 1));
            // The years stand in the tool tip; the span rarely leaves one.
            const QString span = Q(fold.from) + QStringLiteral(" 至 ") + Q(fold.to);
            SetResultCell(table_, r, 1,
                          WithoutYear(fold.from) + QStringLiteral("～") + WithoutYear(fold.to))
                ->setToolTip(span);
            SetResultCell(table_, r, 2, QString::number(k + 1));
            SetResultCell(table_, r, 3,
                          Q(DescribeCandidate(candidates_[pick.candidate], modeTwo)) +
                              (pick.candidate == 0 ? QStringLiteral("（当前设置）") : QString()));
            SetResultCell(table_, r, 4, QString::number(pick.inSample.total));
            SetResultCell(table_, r, 5, Percent(pick.inSample.HitRate()));
            SetZCell(table_, r, 6, pick.inSample.chance);
            const std::optional<SpanFigures>& out = pick.outOfSample;
            SetResultCell(table_, r, 7, out ? QString::number(out->total) : QStringLiteral("—"));
            SetResultCell(table_, r, 8, out ? Percent(out->HitRate()) : QStringLiteral("—"));
            if (out) {
                SetZCell(table_, r, 9, out->chance);
            } else {
                SetResultCell(table_, r, 9, QStringLiteral("—"));
            }
        }
    }
    table_->setUpdatesEnabled(true);
    // No row chosen yet: "应用" takes the newest span's best.
    table_->setCurrentCell(-1, -1);
    chart_->SetPicture(RunningTotalChart(result.outOfSampleTotals, result.outOfSampleBand));
    if (result.overfitting) ShowOverfitting(*result.overfitting);
    nullTotals_->SetHistogram(QString(), {}, std::nullopt, QString());
    nullZ_->SetHistogram(QString(), {}, std::nullopt, QString());
    nullText_->setText(QStringLiteral("尚无随机对照"));
}

void Fxunyou::ShowOverfitting(const Overfitting& overfitting) {
    std::vector<double> logits;
    std::vector<QPointF> points;
    for (const Halving& h : overfitting.halvings) {
        logits.push_back(h.logit);
        points.emplace_back(static_cast<double>(h.inSample), static_cast<double>(h.outOfSample));
    }
    logits_->SetHistogram(QStringLiteral("检验期排名的logit（红线左侧：落到中位数以下）"),
                          MakeHistogram(logits, kHistogramBins, 0.0), 0.0,
                          QStringLiteral("中位数"));
    decay_->SetPoints(QStringLiteral("训练期累计（横）与检验期累计（竖），红线为拟合"),
                      std::move(points), overfitting.slope, overfitting.intercept);
    overfitText_->setText(
        Q(OverfittingText(overfitting, candidates_.size())) +
        QStringLiteral("\n每种分法：一半的块训练，另一半检验；训练期最佳的设置在检验期于全部候选中"
                       "的相对名次r（0到1），logit = ln(r/(1−r))。"));
}

void Fxunyou::ShowNull() {
    const SearchFigures real = FiguresOfSearch(*result_);
    std::vector<double> totals;
    std::vector<double> zs;
    for (const SearchFigures& run : *null_) {
        totals.push_back(static_cast<double>(run.outOfSample));
        zs.push_back(run.bestZ);
    }
    const double realTotal = static_cast<double>(real.outOfSample);
    nullTotals_->SetHistogram(QStringLiteral("纯随机开奖上同样寻优的样本外累计"),
                              MakeHistogram(totals, kHistogramBins, realTotal), realTotal,
                              QStringLiteral("本次"));
    nullZ_->SetHistogram(QStringLiteral("纯随机开奖上最近训练期最佳的z"),
                         MakeHistogram(zs, kHistogramBins, real.bestZ), real.bestZ,
                         QStringLiteral("本次"));
    const QString verdict = Q(NullVerdict(real, StandingAmong(real, *null_)));
    nullText_->setText(
        verdict +
        QStringLiteral("\n纯随机开奖上没有任何设置真正有用：每根柱是同样的寻优在一个这样的存档上的"
                       "结果，红线是本次。红线越靠右、右边的柱越少，本次越不像运气。"));
    ShowVerdict(verdict);
}

void Fxunyou::ShowVerdict(const QString& nullState) {
    QString text = Q(result_->verdict) + QLatin1Char('\n') + nullState;
    if (result_->overfitting && candidates_.size() > 1) {
        text += QStringLiteral("\n过拟合概率 %1%（见“过拟合概率”页）。")
                    .arg(Q(FixedText(100 * result_->overfitting->probability, 0)));
    }
    verdict_->setText(text);
}

void Fxunyou::Apply() {
    if (!result_ || rowCandidates_.empty()) {
        Error(QStringLiteral("请先寻优"));
        return;
    }
    // The selected row, or the best of the span that ends at the newest period.
    const int row = table_->currentRow();
    const std::size_t candidate = row >= 0 && static_cast<std::size_t>(row) < rowCandidates_.size()
                                      ? rowCandidates_[static_cast<std::size_t>(row)]
                                      : result_->folds.back().picks.front().candidate;
    if (links_.applyPlanSettings) {
        links_.applyPlanSettings(WithCandidate(runSettings_, candidates_[candidate]));
    }
    state_->setText(QStringLiteral("已应用：") +
                    Q(DescribeCandidate(candidates_[candidate], runSettings_.useModeTwo)));
}

}  // namespace xuan5::ui
