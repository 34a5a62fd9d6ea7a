#include "ui/backtest/backtest_panel.h"
#include "ui/backtest/number_boxes.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "backtest/backtest_chart.h"
#include "backtest/backtest_csv.h"
#include "core/text.h"
#include "protocol/endpoints.h"
#include "ui/backtest/fxunyou.h"
#include "ui/backtest/omission_strip.h"
#include "ui/backtest/result_tables.h"
#include "ui/backtest/run_inputs.h"
#include "ui/backtest/stat_plots.h"
#include "ui/common/app_context.h"
#include "ui/common/archive_service.h"
#include "ui/common/panel_links.h"
#include "ui/widgets/chart_widget.h"
#include "ui/widgets/named_controls.h"

namespace xuan5::ui {

namespace {

constexpr int kMaxSeeds = 1000;

}  // namespace

BacktestPanel::BacktestPanel(Services& services, const Session& session, const PanelLinks& links,
                             ArchiveService& archive, QWidget* parent)
    : QGroupBox(QStringLiteral("回测"), parent),
      services_(services),
      session_(session),
      links_(links),
      archive_(archive),
      runner_(new BacktestRunner(
          [this](int percent) { progress_->setValue(percent); },
          [this](const BacktestRunner::Outcome& outcome) { FinishRun(outcome); }, this)) {
    setObjectName(QStringLiteral("Frame_ding_%1").arg(kBacktestPanelIndex));
    BuildLayout();
    SetRunning(false);
    connect(start_, &QPushButton::clicked, this, &BacktestPanel::StartRun);
    connect(seedsRun_, &QPushButton::clicked, this, &BacktestPanel::StartSeedsRun);
    connect(cancelButton_, &QPushButton::clicked, this, &BacktestPanel::CancelRun);
    connect(download_, &QPushButton::clicked, this, &BacktestPanel::DownloadHistory);
    connect(loadLocal_, &QPushButton::clicked, this, &BacktestPanel::LoadLocalDraws);
    connect(importCsv_, &QPushButton::clicked, this, &BacktestPanel::ImportCsv);
    connect(exportCsv_, &QPushButton::clicked, this, &BacktestPanel::ExportCsv);
    connect(exportTable_, &QPushButton::clicked, this, &BacktestPanel::ExportTable);
    connect(exportLog_, &QPushButton::clicked, this, &BacktestPanel::ExportPlanLog);
    connect(optimise_, &QPushButton::clicked, this, &BacktestPanel::OpenOptimiser);
    connect(periods_, &QLineEdit::textChanged, this, &BacktestPanel::ProposeDownload);
    ConnectArchive();
}

BacktestPanel::~BacktestPanel() {
    // The runner goes first, while the widgets its last answer would fill are still there.
    delete runner_;
}

bool BacktestPanel::Running() const {
    return runner_->Running();
}

void BacktestPanel::showEvent(QShowEvent* event) {
    QGroupBox::showEvent(event);
    // The region may have changed while another panel was shown.
    RefreshArchiveInfo();
}

void BacktestPanel::Error(const QString& text) {
    services_.Show(this, text, Q(kTitleErrorNotice), MessageButtons::Ok, MessageKind::Failure);
}

void BacktestPanel::OpenOptimiser() {
    // One window for the panel's life: its settings and last result stay while it is closed.
    if (!optimiser_) optimiser_ = new Fxunyou(services_, session_, links_, archive_, this);
    optimiser_->ShowOver(this);
}

void BacktestPanel::SetRunning(bool running) {
    if (running) {
        HandOver(cancelButton_, {start_, seedsRun_});
    } else {
        seedsRun_->setEnabled(true);
        HandOver(start_, {cancelButton_});
    }
}

void BacktestPanel::ProposeDownload() {
    if (const auto periods = BoxNumber(periods_, 1, kMaxHistoryDraws))
        downloadCount_->setText(
            QString::number(std::min(*periods + kHistoryRows, kMaxHistoryDraws)));
}

void BacktestPanel::BuildLayout() {
    periods_ = MakeLine(this, QStringLiteral("T_huice_qishu"), QStringLiteral("100"), 5);
    seed_ = MakeLine(this, QStringLiteral("T_huice_zhongzi"), QStringLiteral("1"), 10);
    seedCount_ = MakeLine(this, QStringLiteral("T_huice_cishu"), QStringLiteral("10"), 4);
    start_ = MakeButton(this, QStringLiteral("C_huice_kaishi"), QStringLiteral("开始回测"));
    seedsRun_ = MakeButton(this, QStringLiteral("C_huice_duoci"), QStringLiteral("多次"));
    cancelButton_ = MakeButton(this, QStringLiteral("C_huice_quxiao"), QStringLiteral("取消"));
    optimise_ = MakeButton(this, QStringLiteral("C_huice_xunyou"), QStringLiteral("寻优"));
    optimise_->setToolTip(QStringLiteral("滚动寻优：在训练期挑出最佳设置，再在其后的检验期验证"));
    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("Pic_huice_jd"));
    progress_->setRange(0, 100);
    progress_->setValue(0);
    state_ = MakeLabel(this, QStringLiteral("L_huice_zhuangtai"), QString());
    state_->setWordWrap(true);
    // Two lines of room from the start, so a longer report never moves the panel's rows.
    state_->setFixedHeight(state_->fontMetrics().lineSpacing() * 2 + 2);
    periods_->setToolTip(
        QStringLiteral("回测最近多少期（1到%1）；每期要用它之前的120期开奖").arg(kMaxHistoryDraws));
    seed_->setToolTip(QStringLiteral(
        "种子决定计划随机补足的注：每线注数多于趋势线选中的注时，其余随机补上，计划模式一的"
        "多开也各不相同。同样的数据、设置和种子，回测结果完全相同；换种子（或用“多次”）看结果"
        "随运气变化多少。"));
    seedCount_->setToolTip(QStringLiteral("“多次”用几个种子（从上面的种子起）"));

    download_ = MakeButton(this, QStringLiteral("C_huice_xiazai"), QStringLiteral("下载历史"));
    downloadCount_ = MakeLine(this, QStringLiteral("T_huice_xiazai_qishu"), QString(), 5);
    downloadCount_->setToolTip(
        QStringLiteral("下载最近多少期（1到%1）：回测期数加它们之前的120期").arg(kMaxHistoryDraws));
    ProposeDownload();
    downloadProgress_ = new QProgressBar(this);
    downloadProgress_->setObjectName(QStringLiteral("Pic_huice_xiazai_jd"));
    downloadProgress_->setRange(0, 100);
    downloadProgress_->setValue(0);
    downloadProgress_->setFixedWidth(
        std::max(downloadProgress_->minimumSizeHint().width(),
                 downloadProgress_->fontMetrics().horizontalAdvance(QStringLiteral("0000000000"))));
    loadLocal_ = MakeButton(this, QStringLiteral("C_huice_zairu"), QStringLiteral("载入本地数据"));
    importCsv_ = MakeButton(this, QStringLiteral("C_huice_daoru"), QStringLiteral("导入开奖CSV"));
    exportCsv_ = MakeButton(this, QStringLiteral("C_huice_daochu"), QStringLiteral("导出开奖CSV"));
    exportTable_ =
        MakeButton(this, QStringLiteral("C_huice_daochu_biao"), QStringLiteral("导出回测表"));
    exportLog_ =
        MakeButton(this, QStringLiteral("C_huice_daochu_jilu"), QStringLiteral("导出计划记录"));
    archiveInfo_ = MakeLabel(this, QStringLiteral("L_huice_cundang"), QString());
    archiveInfo_->setWordWrap(true);
    for (QLineEdit* box : {periods_, seed_, seedCount_, downloadCount_})
        box->setFixedWidth(box->minimumWidth());

    chartCaption_ =
        MakeLabel(this, QStringLiteral("L_huice_tu"), QStringLiteral("累计曲线：尚未回测"));
    chartCaption_->setWordWrap(true);
    chart_ = new ChartWidget(this);
    chart_->setObjectName(QStringLiteral("Pic_huice"));
    chart_->SetPicture(RunningTotalChart({}));
    summary_ = MakeLabel(this, QStringLiteral("L_huice_zongjie"), QStringLiteral("尚未回测"));
    summary_->setWordWrap(true);
    summary_->setToolTip(QStringLiteral(
        "累计：每期计划中奖+924，每注-2，逐期相加。命中：中奖的期数。最大回撤：累计从此前最高点"
        "跌下的最大幅度。最长连挂：连续未中的最多期数。\n机会：随机选同样多的注时累计的期望与标准差"
        "σ；±2σ是机会范围，z是累计高出期望几个标准差。"));
    spread_ = MakeLabel(this, QStringLiteral("L_huice_fenbu"), QString());
    spread_->setWordWrap(true);
    heat_ = new OmissionStrip(this);
    heat_->setObjectName(QStringLiteral("Pic_huice_yilou"));
    QLabel* heatCaption = MakeLabel(this, QString(), QStringLiteral("当前遗漏"));
    heatCaption->setToolTip(OmissionStrip::Explanation());

    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("Tab_huice"));
    table_ =
        MakeResultTable(tabs_, QStringLiteral("L_huice_biao"),
                        {QStringLiteral("日期"), QStringLiteral("期号"), QStringLiteral("注数"),
                         QStringLiteral("开奖号码"), QStringLiteral("结果"), QStringLiteral("盈亏"),
                         QStringLiteral("累计")});
    lineTable_ =
        MakeResultTable(tabs_, QStringLiteral("L_huice_xianlu"),
                        {QStringLiteral("线路"), QStringLiteral("命中"), QStringLiteral("命中率"),
                         QStringLiteral("最长连挂"), QStringLiteral("当前连挂")});
    omissionTable_ = MakeResultTable(tabs_, QStringLiteral("L_huice_yilou"),
                                     {QStringLiteral("号码"), QStringLiteral("当前遗漏"),
                                      QStringLiteral("最大遗漏"), QStringLiteral("近120期出现")});
    // The date and the drawn numbers are read whole; the short figures share the rest.
    for (int column : {0, 3})
        table_->horizontalHeader()->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    seeds_ = new SeedsPlot(tabs_);
    seeds_->setObjectName(QStringLiteral("Pic_huice_duoci"));
    tabs_->addTab(table_, QStringLiteral("每期明细"));
    tabs_->addTab(lineTable_, QStringLiteral("线路"));
    tabs_->addTab(omissionTable_, QStringLiteral("遗漏"));
    tabs_->addTab(seeds_, QStringLiteral("多次"));
    lineTable_->setRowCount(kLineCount);
    for (int k = 0; k < kLineCount; ++k)
        SetResultCell(lineTable_, k, 0, QStringLiteral("%1线").arg(k + 1));
    omissionTable_->setRowCount(11);
    for (int n = 1; n <= 11; ++n)
        SetResultCell(omissionTable_, n - 1, 0,
                      QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')));

    // Three short rows rather than two long ones: at 1000 x 600 the panel fits its width.
    auto* runRow = new QHBoxLayout;
    QLabel* seedCaption = MakeLabel(this, QString(), QStringLiteral("种子"));
    seedCaption->setToolTip(seed_->toolTip());
    runRow->addWidget(MakeLabel(this, QString(), QStringLiteral("回测期数")));
    runRow->addWidget(periods_);
    runRow->addWidget(seedCaption);
    runRow->addWidget(seed_);
    runRow->addWidget(MakeLabel(this, QString(), QStringLiteral("多次次数")));
    runRow->addWidget(seedCount_);
    runRow->addWidget(start_);
    runRow->addWidget(seedsRun_);
    runRow->addWidget(cancelButton_);
    runRow->addWidget(state_, 1);

    auto* resultRow = new QHBoxLayout;
    resultRow->addWidget(optimise_);
    resultRow->addWidget(progress_, 1);
    resultRow->addWidget(exportTable_);
    resultRow->addWidget(exportLog_);

    auto* dataRow = new QHBoxLayout;
    dataRow->addWidget(download_);
    dataRow->addWidget(MakeLabel(this, QString(), QStringLiteral("期数")));
    dataRow->addWidget(downloadCount_);
    dataRow->addWidget(downloadProgress_);
    dataRow->addWidget(loadLocal_);
    dataRow->addWidget(importCsv_);
    dataRow->addWidget(exportCsv_);
    dataRow->addStretch(1);

    auto* heatRow = new QHBoxLayout;
    heatRow->addWidget(heatCaption);
    heatRow->addWidget(heat_, 1);

    auto* left = new QVBoxLayout;
    left->addWidget(chartCaption_);
    left->addWidget(chart_, 1);
    left->addWidget(summary_);
    left->addWidget(spread_);
    left->addLayout(heatRow);
    left->addWidget(archiveInfo_);

    auto* results = new QHBoxLayout;
    results->addLayout(left, 1);
    results->addWidget(tabs_, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 4, 6, 6);
    layout->addLayout(runRow);
    layout->addLayout(resultRow);
    layout->addLayout(dataRow);
    layout->addLayout(results, 1);
}

// --- the run -------------------------------------------------------------------------------

std::optional<BacktestRunner::Request> BacktestPanel::PrepareRun() {
    const auto periods = BoxNumber(periods_, 1, kMaxHistoryDraws);
    if (!periods) {
        Error(QStringLiteral("回测期数须为1到%1").arg(kMaxHistoryDraws));
        return std::nullopt;
    }
    const std::optional<std::uint64_t> seed = BoxSeed(seed_);
    if (!seed) {
        Error(QStringLiteral("种子须为0或正整数"));
        return std::nullopt;
    }
    std::optional<RunInputs> inputs = ReadRunInputs(services_, session_, archive_, this, *periods);
    if (!inputs) return std::nullopt;
    heldDraws_ = inputs->heldDraws;
    askedPeriods_ = *periods;
    askedSettings_ = links_.planSettings();
    askedSeed_ = *seed;
    askedRegion_ = RegionName(session_.RegionCode).toStdString();
    BacktestRunner::Request request;
    static_cast<PlanSettings&>(request.settings) = askedSettings_;
    request.settings.savedLines = std::move(inputs->savedLines);
    request.settings.LineBases = session_.LineBases();
    request.archive = std::move(inputs->draws);
    request.options.periods = *periods;
    request.options.seed = *seed;
    return request;
}

void BacktestPanel::Launch(BacktestRunner::Request request) {
    progress_->setValue(0);
    state_->setText(QStringLiteral("回测中……"));
    // Figures of an earlier run, perhaps of other settings, are not left beside this one's.
    summary_->clear();
    spread_->clear();
    SetRunning(true);
    runner_->Start(std::move(request));
}

void BacktestPanel::StartRun() {
    if (Running()) return;
    if (std::optional<BacktestRunner::Request> request = PrepareRun()) Launch(std::move(*request));
}

void BacktestPanel::StartSeedsRun() {
    if (Running()) return;
    const auto seeds = BoxNumber(seedCount_, 1, kMaxSeeds);
    if (!seeds) {
        Error(QStringLiteral("多次次数须为1到%1").arg(kMaxSeeds));
        return;
    }
    if (std::optional<BacktestRunner::Request> request = PrepareRun()) {
        request->seedCount = *seeds;
        Launch(std::move(*request));
    }
}

void BacktestPanel::CancelRun() {
    if (!Running()) return;
    runner_->Cancel();
    state_->setText(QStringLiteral("正在取消……"));
}

}  // namespace xuan5::ui
