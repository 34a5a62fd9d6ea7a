#include "ui/backtest_panel.h"

#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <charconv>
#include <exception>

#include "backtest/backtest_chart.h"
#include "backtest/backtest_csv.h"
#include "core/messages.h"
#include "core/text.h"
#include "feed/draw_csv.h"
#include "feed/feed_parser.h"
#include "store/curve_store.h"
#include "ui/app_context.h"
#include "ui/backup_strip.h"
#include "ui/chart_widget.h"
#include "ui/config.h"
#include "ui/draw_archive.h"
#include "ui/named_controls.h"
#include "ui/panel_links.h"
#include "ui/plan_panel.h"
#include "util/atomic_file.h"

namespace xuan5::ui {

namespace {

constexpr const char* kTitleError = "出错提示";
constexpr const char* kTitleDone = "完成";
constexpr const char* kTitleNotice = "提示";
constexpr const char* kHistoryPath = "/11xuan5/huaxian/history.asp";
constexpr int kMaxPeriods = 5000;
constexpr int kMaxDownload = 5000;  // the service's limit per request
constexpr int kMaxSeeds = 1000;
// Bad lines listed in the import report; the rest are counted, so a wrong file cannot fill
// the screen with a message box taller than it.
constexpr int kListedBadLines = 20;
// A draw CSV of every period since 1970 is a few megabytes; anything far larger is no such file.
constexpr qint64 kMaxCsvBytes = 64 * 1024 * 1024;
constexpr const char* kCsvFilter = "CSV (*.csv *.txt);;所有文件 (*)";
constexpr const char* kRegionNames[] = {"山东", "重庆", "广东"};

QString Q(const std::string& utf8) {
    return QString::fromStdString(utf8);
}
QString Q(const char* utf8) {
    return QString::fromUtf8(utf8);
}

QString RegionName(int region) {
    return region >= 1 && region <= 3 ? Q(kRegionNames[region - 1]) : QString::number(region);
}

QString Percent(double rate) {
    return QString::number(rate * 100.0, 'f', 1) + QLatin1Char('%');
}

std::optional<int> BoxNumber(const QLineEdit* box, int low, int high) {
    const auto value = ParseInteger32(TrimSpaces(box->text().toStdString()));
    if (!value || *value < low || *value > high) return std::nullopt;
    return *value;
}

QTableWidget* MakeTable(QWidget* parent, const QString& name, const QStringList& headers) {
    auto* table = new QTableWidget(0, static_cast<int>(headers.size()), parent);
    table->setObjectName(name);
    table->setHorizontalHeaderLabels(headers);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->verticalHeader()->setVisible(false);
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table->horizontalHeader()->setMinimumSectionSize(
        table->fontMetrics().horizontalAdvance(QStringLiteral("最长连挂")) + 8);
    return table;
}

void SetCell(QTableWidget* table, int row, int column, const QString& text) {
    auto* item = new QTableWidgetItem(text);
    item->setTextAlignment(Qt::AlignCenter);
    table->setItem(row, column, item);
}

// The result of one run, carried from the worker thread to the window.
struct Outcome {
    std::shared_ptr<BacktestResult> single;
    std::shared_ptr<SeedsResult> seeds;
};

Message FailureMessage(const std::exception* error) {
    return {std::string("回测出错：") + (error ? error->what() : "未知错误"), kTitleError};
}

}  // namespace

std::optional<BacktestSettings> CollectBacktestSettings(AppContext& ctx, const PanelLinks& links) {
    // A plan run reloads the saved lines from the curve store first; so does a back-test, so
    // that it tests the lines a plan would use now.
    std::optional<LineTexts> saved;
    try {
        saved = ReadCurveStoreFile(ctx.StoreFile());
    } catch (const std::exception&) {
        saved.reset();
    }
    if (!saved) {
        ctx.Show(links.backtest, Q(kMsgStoreBroken), Q(kTitleStore));
        return std::nullopt;
    }
    BacktestSettings settings;
    settings.Check_jh_dadi_fenzu = links.plan->ModeTwoSelected();
    settings.modeOne = links.plan->ModeOneInput();
    settings.modeTwo = links.plan->ModeTwoInput();
    settings.backup.Check_beiyong_canyu = links.backup->JoinTicked();
    settings.backup.backup = links.backup->BackupInput();
    settings.savedLines = *saved;
    settings.LineBases = ctx.state.LineBases;
    settings.T_zdy_yongyu = links.plan->ResultWords();
    return settings;
}

// --- OmissionStrip -------------------------------------------------------------------------

OmissionStrip::OmissionStrip(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void OmissionStrip::SetOmissions(const OmissionTable& omissions) {
    omissions_ = omissions;
    QString tip;
    for (int n = 1; n <= 11; ++n) {
        if (n > 1) tip += QLatin1Char('\n');
        tip += QStringLiteral("%1：当前遗漏 %2，最大遗漏 %3，出现 %4次")
                   .arg(n, 2, 10, QLatin1Char('0'))
                   .arg(omissions[n].current)
                   .arg(omissions[n].largest)
                   .arg(omissions[n].frequency);
    }
    setToolTip(tip);
    update();
}

QColor OmissionStrip::CellColor(int number) const {
    int longest = 1;
    for (int n = 1; n <= 11; ++n) longest = std::max(longest, omissions_[n].largest);
    const double heat = std::clamp(omissions_[number].current / double(longest), 0.0, 1.0);
    // White for a number that just came, deep red for the longest absence.
    const int fade = static_cast<int>(std::lround(255 * (1.0 - heat)));
    return QColor(255, fade, fade);
}

QSize OmissionStrip::sizeHint() const {
    return {11 * 40, fontMetrics().height() * 2 + 8};
}

QSize OmissionStrip::minimumSizeHint() const {
    return {11 * (fontMetrics().horizontalAdvance(QStringLiteral("000")) + 4), sizeHint().height()};
}

void OmissionStrip::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const double cell = width() / 11.0;
    const int line = fontMetrics().height();
    for (int n = 1; n <= 11; ++n) {
        const QRectF box((n - 1) * cell, 0, cell, height() - 1);
        painter.fillRect(box, CellColor(n));
        painter.setPen(QColor(160, 160, 160));
        painter.drawRect(box);
        painter.setPen(Qt::black);
        painter.drawText(QRectF(box.x(), 2, cell, line), Qt::AlignCenter,
                         QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')));
        painter.drawText(QRectF(box.x(), 2 + line, cell, line), Qt::AlignCenter,
                         QString::number(omissions_[n].current));
    }
}

// --- BacktestPanel -------------------------------------------------------------------------

struct BacktestPanel::RunRequest {
    std::vector<DatedDraw> archive;
    BacktestSettings settings;
    BacktestOptions options;
};

BacktestPanel::BacktestPanel(AppContext& ctx, const PanelLinks& links, QWidget* parent)
    : QGroupBox(QStringLiteral("回测"), parent), ctx_(ctx), links_(links) {
    setObjectName(QStringLiteral("Frame_ding_%1").arg(kBacktestPanelIndex));

    periods_ = MakeLine(this, QStringLiteral("T_huice_qishu"), QStringLiteral("100"), 5);
    seed_ = MakeLine(this, QStringLiteral("T_huice_zhongzi"), QStringLiteral("1"), 10);
    seedCount_ = MakeLine(this, QStringLiteral("T_huice_cishu"), QStringLiteral("10"), 4);
    start_ = MakeButton(this, QStringLiteral("C_huice_kaishi"), QStringLiteral("开始回测"));
    seedsRun_ = MakeButton(this, QStringLiteral("C_huice_duoci"), QStringLiteral("多次"));
    cancelButton_ = MakeButton(this, QStringLiteral("C_huice_quxiao"), QStringLiteral("取消"));
    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("Pic_huice_jd"));
    progress_->setRange(0, 100);
    progress_->setValue(0);
    state_ = MakeLabel(this, QStringLiteral("L_huice_zhuangtai"), QString());
    state_->setWordWrap(true);
    // Two lines of room from the start, so a longer report never moves the panel's rows.
    state_->setFixedHeight(state_->fontMetrics().lineSpacing() * 2 + 2);
    periods_->setToolTip(QStringLiteral("回测最近多少期（1到5000）"));
    seed_->setToolTip(QStringLiteral("计划模式一是随机的：同一种子，结果相同"));
    seedCount_->setToolTip(QStringLiteral("“多次”用几个种子（从上面的种子起）"));

    download_ = MakeButton(this, QStringLiteral("C_huice_xiazai"), QStringLiteral("下载历史"));
    downloadCount_ =
        MakeLine(this, QStringLiteral("T_huice_xiazai_qishu"), QStringLiteral("1000"), 5);
    downloadCount_->setToolTip(QStringLiteral("下载最近多少期（1到5000）"));
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

    chart_ = new ChartWidget(this);
    chart_->setObjectName(QStringLiteral("Pic_huice"));
    chart_->SetPicture(RunningTotalChart({}));
    summary_ = MakeLabel(this, QStringLiteral("L_huice_zongjie"), QStringLiteral("尚未回测"));
    summary_->setWordWrap(true);
    spread_ = MakeLabel(this, QStringLiteral("L_huice_fenbu"), QString());
    spread_->setWordWrap(true);
    heat_ = new OmissionStrip(this);
    heat_->setObjectName(QStringLiteral("Pic_huice_yilou"));

    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("Tab_huice"));
    table_ = MakeTable(tabs_, QStringLiteral("L_huice_biao"),
                       {QStringLiteral("日期"), QStringLiteral("期号"), QStringLiteral("注数"),
                        QStringLiteral("开奖号码"), QStringLiteral("结果"), QStringLiteral("盈亏"),
                        QStringLiteral("累计")});
    lineTable_ =
        MakeTable(tabs_, QStringLiteral("L_huice_xianlu"),
                  {QStringLiteral("线路"), QStringLiteral("命中"), QStringLiteral("命中率"),
                   QStringLiteral("最长连挂"), QStringLiteral("当前连挂")});
    omissionTable_ = MakeTable(tabs_, QStringLiteral("L_huice_yilou"),
                               {QStringLiteral("号码"), QStringLiteral("当前遗漏"),
                                QStringLiteral("最大遗漏"), QStringLiteral("近120期出现")});
    // The date and the drawn numbers are read whole; the short figures share the rest.
    for (int column : {0, 3})
        table_->horizontalHeader()->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    tabs_->addTab(table_, QStringLiteral("每期明细"));
    tabs_->addTab(lineTable_, QStringLiteral("线路"));
    tabs_->addTab(omissionTable_, QStringLiteral("遗漏"));
    lineTable_->setRowCount(kLineCount);
    for (int k = 0; k < kLineCount; ++k)
        SetCell(lineTable_, k, 0, QStringLiteral("%1线").arg(k + 1));
    omissionTable_->setRowCount(11);
    for (int n = 1; n <= 11; ++n)
        SetCell(omissionTable_, n - 1, 0, QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')));

    auto* runRow = new QHBoxLayout;
    runRow->addWidget(MakeLabel(this, QString(), QStringLiteral("回测期数")));
    runRow->addWidget(periods_);
    runRow->addWidget(MakeLabel(this, QString(), QStringLiteral("种子")));
    runRow->addWidget(seed_);
    runRow->addWidget(MakeLabel(this, QString(), QStringLiteral("多次次数")));
    runRow->addWidget(seedCount_);
    runRow->addWidget(start_);
    runRow->addWidget(seedsRun_);
    runRow->addWidget(cancelButton_);
    runRow->addWidget(progress_, 1);

    auto* dataRow = new QHBoxLayout;
    dataRow->addWidget(download_);
    dataRow->addWidget(MakeLabel(this, QString(), QStringLiteral("期数")));
    dataRow->addWidget(downloadCount_);
    dataRow->addWidget(loadLocal_);
    dataRow->addWidget(importCsv_);
    dataRow->addWidget(exportCsv_);
    dataRow->addWidget(exportTable_);
    dataRow->addWidget(exportLog_);
    dataRow->addWidget(state_, 1);

    auto* left = new QVBoxLayout;
    left->addWidget(chart_, 1);
    left->addWidget(summary_);
    left->addWidget(spread_);
    left->addWidget(heat_);
    left->addWidget(archiveInfo_);

    auto* results = new QHBoxLayout;
    results->addLayout(left, 1);
    results->addWidget(tabs_, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 4, 6, 6);
    layout->addLayout(runRow);
    layout->addLayout(dataRow);
    layout->addLayout(results, 1);

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
}

BacktestPanel::~BacktestPanel() {
    // The worker reads nothing of the panel but posts to it; once it has been joined, the
    // answers it posted die with the panel.
    stop_ = true;
    if (worker_.joinable()) worker_.join();
}

void BacktestPanel::showEvent(QShowEvent* event) {
    QGroupBox::showEvent(event);
    // The region may have changed while another panel was shown.
    RefreshArchiveInfo();
}

void BacktestPanel::Error(const QString& text) {
    ctx_.Show(this, text, Q(kTitleError));
}

void BacktestPanel::SetRunning(bool running) {
    start_->setEnabled(!running);
    seedsRun_->setEnabled(!running);
    cancelButton_->setEnabled(running);
}

// --- the run -------------------------------------------------------------------------------

std::optional<BacktestPanel::RunRequest> BacktestPanel::PrepareRun() {
    const auto periods = BoxNumber(periods_, 1, kMaxPeriods);
    if (!periods) {
        Error(QStringLiteral("回测期数须为1到%1").arg(kMaxPeriods));
        return std::nullopt;
    }
    const std::string seedText(TrimSpaces(seed_->text().toStdString()));
    std::uint64_t seed = 0;
    const auto [end, error] =
        std::from_chars(seedText.data(), seedText.data() + seedText.size(), seed);
    if (seedText.empty() || error != std::errc() || end != seedText.data() + seedText.size()) {
        Error(QStringLiteral("种子须为0或正整数"));
        return std::nullopt;
    }
    std::optional<BacktestSettings> settings = CollectBacktestSettings(ctx_, links_);
    if (!settings) return std::nullopt;

    RunRequest request;
    try {
        const DrawArchive archive(DrawArchivePath(ctx_.dataDir));
        request.archive = archive.NewestDraws(ctx_.state.RegionCode, *periods + kHistoryRows);
    } catch (const DrawArchiveError& e) {
        Error(Q(e.what()));
        return std::nullopt;
    }
    request.settings = std::move(*settings);
    request.options.periods = *periods;
    request.options.seed = seed;
    return request;
}

void BacktestPanel::StartRun() {
    if (Running()) return;
    if (std::optional<RunRequest> request = PrepareRun()) Launch(std::move(*request), 0);
}

void BacktestPanel::StartSeedsRun() {
    if (Running()) return;
    const auto seeds = BoxNumber(seedCount_, 1, kMaxSeeds);
    if (!seeds) {
        Error(QStringLiteral("多次次数须为1到%1").arg(kMaxSeeds));
        return;
    }
    if (std::optional<RunRequest> request = PrepareRun()) Launch(std::move(*request), *seeds);
}

void BacktestPanel::CancelRun() {
    if (!Running()) return;
    stop_ = true;
    state_->setText(QStringLiteral("正在取消……"));
}

void BacktestPanel::Launch(RunRequest request, int seedCount) {
    stop_ = false;
    postedPercent_ = -1;
    progress_->setValue(0);
    state_->setText(QStringLiteral("回测中……"));
    SetRunning(true);
    // The worker owns its copy of the draws and the settings; it touches no widget and reports
    // through queued calls, which Qt drops if the panel is gone by then.
    worker_ = std::thread([this, request = std::move(request), seedCount] {
        Outcome outcome;
        const BacktestProgressFn progress = [this](int done, int total) {
            PostProgress(done, total);
        };
        try {
            if (seedCount > 0) {
                outcome.seeds = std::make_shared<SeedsResult>(
                    RunBacktestSeeds(request.archive, request.settings, request.options, seedCount,
                                     stop_, progress));
            } else {
                outcome.single = std::make_shared<BacktestResult>(RunBacktest(
                    request.archive, request.settings, request.options, stop_, progress));
            }
        } catch (const std::exception& e) {
            outcome.single = std::make_shared<BacktestResult>();
            outcome.single->status = BacktestStatus::InputError;
            outcome.single->messages = {FailureMessage(&e)};
            outcome.seeds.reset();
        } catch (...) {
            outcome.single = std::make_shared<BacktestResult>();
            outcome.single->status = BacktestStatus::InputError;
            outcome.single->messages = {FailureMessage(nullptr)};
            outcome.seeds.reset();
        }
        QMetaObject::invokeMethod(
            this, [this, outcome] { FinishRun(outcome.single, outcome.seeds); },
            Qt::QueuedConnection);
    });
}

void BacktestPanel::PostProgress(int done, int total) {
    const int percent = total > 0 ? static_cast<int>(100LL * done / total) : 100;
    if (postedPercent_.exchange(percent) == percent) return;
    QMetaObject::invokeMethod(
        this, [this, percent] { progress_->setValue(percent); }, Qt::QueuedConnection);
}

void BacktestPanel::FinishRun(const std::shared_ptr<BacktestResult>& single,
                              const std::shared_ptr<SeedsResult>& seeds) {
    if (worker_.joinable()) worker_.join();
    SetRunning(false);
    const BacktestStatus status = single ? single->status : seeds->status;
    const std::vector<Message>& messages = single ? single->messages : seeds->messages;
    switch (status) {
        case BacktestStatus::Done:
            progress_->setValue(100);
            state_->setText(QStringLiteral("完成"));
            if (single)
                ShowResult(*single);
            else
                ShowSpread(*seeds);
            break;
        case BacktestStatus::Cancelled:
            progress_->setValue(0);
            state_->setText(QStringLiteral("已取消"));
            break;
        default:
            progress_->setValue(0);
            state_->setText(QStringLiteral("未完成"));
            break;
    }
    // What the plan mode reported (a damaged saved line, bad input) or why nothing ran.
    for (const Message& message : messages) ctx_.Show(this, message);
    emit runFinished();
}

void BacktestPanel::ShowResult(const BacktestResult& result) {
    rows_ = result.rows;
    table_->setUpdatesEnabled(false);
    table_->setRowCount(static_cast<int>(rows_.size()));
    std::vector<long long> totals;
    totals.reserve(rows_.size());
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        const BacktestRow& row = rows_[i];
        const int r = static_cast<int>(i);
        SetCell(table_, r, 0, Q(row.date));
        SetCell(table_, r, 1, Q(row.period));
        SetCell(table_, r, 2, QString::number(row.planSize));
        SetCell(table_, r, 3, Q(row.numbers));
        SetCell(table_, r, 4, Q(row.hit ? kBacktestHitWord : kBacktestMissWord));
        SetCell(table_, r, 5, QString::number(row.profit));
        SetCell(table_, r, 6, QString::number(row.total));
        if (row.hit) table_->item(r, 4)->setForeground(QColor(255, 0, 0));
        totals.push_back(row.total);
    }
    table_->setUpdatesEnabled(true);
    if (!rows_.empty()) table_->scrollToBottom();
    chart_->SetPicture(RunningTotalChart(totals));

    const BacktestSummary& s = result.summary;
    summary_->setText(QStringLiteral("期数 %1　命中 %2（%3）　累计 %4\n"
                                     "最大回撤 %5　最长连挂 %6　平均注数 %7")
                          .arg(s.periods)
                          .arg(s.hits)
                          .arg(Percent(s.hitRate))
                          .arg(s.total)
                          .arg(s.largestDrawdown)
                          .arg(s.longestMissRun)
                          .arg(QString::number(s.averagePlanSize, 'f', 1)));
    for (int k = 0; k < kLineCount; ++k) {
        const LineRecord& line = result.lines[static_cast<std::size_t>(k)];
        SetCell(lineTable_, k, 1, QString::number(line.hits));
        SetCell(lineTable_, k, 2, Percent(line.hitRate));
        SetCell(lineTable_, k, 3, QString::number(line.longestMissRun));
        SetCell(lineTable_, k, 4, QString::number(line.currentMissRun));
    }
    ShowOmissions(result.omissions);
}

void BacktestPanel::ShowSpread(const SeedsResult& result) {
    const TotalsSpread& s = result.spread;
    spread_->setText(QStringLiteral("多次：%1个种子（%2起）累计 最低 %3　最高 %4　平均 %5　中位 %6")
                         .arg(result.seeds.size())
                         .arg(result.seeds.empty() ? 0 : result.seeds.front())
                         .arg(s.min)
                         .arg(s.max)
                         .arg(QString::number(s.mean, 'f', 1))
                         .arg(QString::number(s.median, 'f', 1)));
}

void BacktestPanel::ShowOmissions(const OmissionTable& omissions) {
    for (int n = 1; n <= 11; ++n) {
        SetCell(omissionTable_, n - 1, 1, QString::number(omissions[n].current));
        SetCell(omissionTable_, n - 1, 2, QString::number(omissions[n].largest));
        SetCell(omissionTable_, n - 1, 3, QString::number(omissions[n].frequency));
    }
    heat_->SetOmissions(omissions);
}

// --- the archive ---------------------------------------------------------------------------

void BacktestPanel::RefreshArchiveInfo() {
    const int region = ctx_.state.RegionCode;
    try {
        const DrawArchive archive(DrawArchivePath(ctx_.dataDir));
        const std::vector<DatedDraw> recent = archive.NewestDraws(region, kOmissionWindow);
        if (recent.empty()) {
            archiveInfo_->setText(
                QStringLiteral("本地存档（%1）：没有数据").arg(RegionName(region)));
        } else {
            archiveInfo_->setText(QStringLiteral("本地存档（%1）：%2期，最新 %3 %4")
                                      .arg(RegionName(region))
                                      .arg(archive.CountDraws(region))
                                      .arg(Q(recent.back().date), Q(recent.back().period)));
        }
        ShowOmissions(NumberOmissions(recent));
    } catch (const DrawArchiveError& e) {
        archiveInfo_->setText(Q(e.what()));
    }
}

void BacktestPanel::ArchiveFetch(int region, std::string_view response) {
    const std::vector<DatedDraw> rows = DatedFeedRows(response);
    if (rows.empty()) {
        // A feed whose lines carry no dates cannot be filed by day; the fetch itself is fine.
        if (Contains(response, "**ok**"))
            archiveInfo_->setText(QStringLiteral("本次开奖数据没有日期，未存入本地存档"));
        return;
    }
    try {
        DrawArchive archive(DrawArchivePath(ctx_.dataDir));
        archive.AddDraws(region, rows);
        archiveFailureShown_ = false;
    } catch (const std::exception& e) {
        ReportArchiveFailure(Q(e.what()));
        return;
    }
    if (isVisible()) RefreshArchiveInfo();
}

void BacktestPanel::ReportArchiveFailure(const QString& what) {
    archiveInfo_->setText(what);
    if (archiveFailureShown_) return;
    archiveFailureShown_ = true;
    // After the feed has finished with its answer, so the box holds up nothing of it.
    QTimer::singleShot(0, this, [this, what] {
        ctx_.Show(this, QStringLiteral("开奖数据未能存入本地存档，本次更新不受影响：\n") + what,
                  Q(kTitleNotice));
    });
}

QString BacktestPanel::ChooseFile(const QString& caption, const QString& filter, bool save) {
    if (chooseFile_) return chooseFile_(this, caption, filter, save);
    return save ? QFileDialog::getSaveFileName(this, caption, QString(), filter)
                : QFileDialog::getOpenFileName(this, caption, QString(), filter);
}

bool BacktestPanel::WriteFile(const QString& caption, const QString& filter,
                              const std::string& content) {
    const QString path = ChooseFile(caption, filter, true);
    if (path.isEmpty()) return false;
    if (!ReplaceFileAtomically(path.toStdString(), content)) {
        Error(QStringLiteral("无法写入文件：") + path);
        return false;
    }
    state_->setText(QStringLiteral("已导出：") + path);
    return true;
}

void BacktestPanel::ImportCsv() {
    const QString path = ChooseFile(QStringLiteral("导入开奖CSV"), Q(kCsvFilter), false);
    if (path.isEmpty()) return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        Error(QStringLiteral("无法读取文件：") + path);
        return;
    }
    if (file.size() > kMaxCsvBytes) {
        Error(QStringLiteral("文件太大，不是开奖CSV：") + path);
        return;
    }
    const QByteArray bytes = file.readAll();
    const DrawCsv csv = ParseDrawCsv(std::string_view(bytes.constData(), bytes.size()));
    if (csv.draws.empty() && csv.rejected.empty()) {
        Error(QStringLiteral("文件中没有开奖数据：") + path);
        return;
    }
    const int region = ctx_.state.RegionCode;
    int changed = 0;
    if (!csv.draws.empty()) {
        try {
            DrawArchive archive(DrawArchivePath(ctx_.dataDir));
            changed = archive.AddDraws(region, csv.draws);
        } catch (const std::exception& e) {
            Error(Q(e.what()));
            return;
        }
    }
    QString report = QStringLiteral("%1：导入%2期，其中新增或改动%3期")
                         .arg(RegionName(region))
                         .arg(csv.draws.size())
                         .arg(changed);
    if (!csv.rejected.empty()) {
        report += QStringLiteral("\n%1行有误，未导入：").arg(csv.rejected.size());
        const std::size_t listed = std::min<std::size_t>(csv.rejected.size(), kListedBadLines);
        for (std::size_t i = 0; i < listed; ++i)
            report += QLatin1Char('\n') + Q(CsvLineErrorText(csv.rejected[i]));
        if (listed < csv.rejected.size())
            report += QStringLiteral("\n……另有%1行").arg(csv.rejected.size() - listed);
    }
    RefreshArchiveInfo();
    ctx_.Show(this, report, Q(csv.rejected.empty() ? kTitleDone : kTitleNotice));
}

void BacktestPanel::ExportCsv() {
    const int region = ctx_.state.RegionCode;
    std::string text;
    try {
        const DrawArchive archive(DrawArchivePath(ctx_.dataDir));
        if (archive.CountDraws(region) == 0) {
            Error(QStringLiteral("本地存档没有%1的开奖数据").arg(RegionName(region)));
            return;
        }
        text = archive.ExportCsv(region);
    } catch (const DrawArchiveError& e) {
        Error(Q(e.what()));
        return;
    }
    WriteFile(QStringLiteral("导出开奖CSV"), Q(kCsvFilter), text);
}

void BacktestPanel::ExportTable() {
    if (rows_.empty()) {
        Error(QStringLiteral("请先回测"));
        return;
    }
    WriteFile(QStringLiteral("导出回测表"), Q(kCsvFilter), BacktestTableCsv(rows_));
}

void BacktestPanel::ExportPlanLog() {
    if (rows_.empty()) {
        Error(QStringLiteral("请先回测"));
        return;
    }
    WriteFile(QStringLiteral("导出计划记录"), Q(kCsvFilter), PlanLogCsv(rows_));
}

void BacktestPanel::DownloadHistory() {
    if (downloading_) return;
    const auto count = BoxNumber(downloadCount_, 1, kMaxDownload);
    if (!count) {
        Error(QStringLiteral("下载期数须为1到%1").arg(kMaxDownload));
        return;
    }
    const int region = ctx_.state.RegionCode;
    const QString url = WithoutTrailingSlashes(ctx_.service.url) + Q(kHistoryPath) +
                        QStringLiteral("?cz=%1&n=%2").arg(region).arg(*count);
    downloading_ = true;
    download_->setEnabled(false);
    state_->setText(QStringLiteral("正在下载……"));
    QPointer<BacktestPanel> self(this);
    ctx_.Http().HttpRequest(QStringLiteral("GET"), url, QByteArray(),
                            [self, region](std::string body) {
                                if (self) self->HandleDownload(region, body);
                            });
}

void BacktestPanel::HandleDownload(int region, const std::string& body) {
    downloading_ = false;
    download_->setEnabled(true);
    const DrawCsv csv = ParseDrawCsv(body);
    if (body.empty()) {
        state_->setText(Q(kMsgCannotConnect));
        Error(QStringLiteral("下载历史失败：") + Q(kMsgCannotConnect));
    } else if (csv.draws.empty()) {
        state_->setText(Q(kMsgNoFeedData));
        Error(QStringLiteral("下载历史失败：") + Q(kMsgNoFeedData));
    } else {
        try {
            DrawArchive archive(DrawArchivePath(ctx_.dataDir));
            const int changed = archive.AddDraws(region, csv.draws);
            state_->setText(QStringLiteral("下载完成（%1）：%2期，新增或改动%3期")
                                .arg(RegionName(region))
                                .arg(csv.draws.size())
                                .arg(changed));
        } catch (const std::exception& e) {
            state_->setText(QStringLiteral("下载历史失败"));
            Error(Q(e.what()));
        }
        RefreshArchiveInfo();
    }
    emit downloadHandled();
}

void BacktestPanel::LoadLocalDraws() {
    const int region = ctx_.state.RegionCode;
    std::optional<DrawTable> staged;
    try {
        const DrawArchive archive(DrawArchivePath(ctx_.dataDir));
        staged = archive.StagedTable(region);
    } catch (const DrawArchiveError& e) {
        Error(Q(e.what()));
        return;
    }
    if (!staged) {
        Error(QStringLiteral("本地存档%1的开奖数据不足120期").arg(RegionName(region)));
        return;
    }
    // Staged and judged as a fetched table is: only a newer table is applied.
    ctx_.state.IncomingDraws = *staged;
    if (!HasNewDraws(ctx_.state)) {
        state_->setText(Q(kMsgNoUpdate));
        return;
    }
    if (links_.applyDraws) links_.applyDraws();
    state_->setText(QStringLiteral("已载入本地数据（%1）").arg(RegionName(region)));
}

}  // namespace xuan5::ui
