#include "ui/fmain.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>
#include <cmath>

#include "core/bets.h"
#include "core/messages.h"
#include "core/update_step.h"
#include "curves/base_search.h"
#include "feed/feed_parser.h"
#include "feed/manual_entry.h"
#include "store/curve_store.h"
#include "ui/after_draw_pipeline.h"
#include "ui/backtest_panel.h"
#include "ui/backup_strip.h"
#include "ui/draw_panel.h"
#include "ui/fadd.h"
#include "ui/message_box.h"
#include "ui/monitor_panel.h"
#include "ui/plan_panel.h"
#include "ui/sort_panel.h"

namespace xuan5::ui {

namespace {

constexpr int kStripWidth = 300;
constexpr int kCountdownMs = 1000;
constexpr int kTypedDrawMs = 100;
constexpr int kBuildBetsMs = 200;
constexpr int kWaitingRefreshMs = 1000;
constexpr const char* kCloseQuestion = "是否要关闭软件？";
constexpr const char* kCloseTitle = "提示";
constexpr const char* kTermsTitle = "用户使用协议";

constexpr const char* kTermsText =
    "用户使用协议\r\n"
    "1. 本软件是11选5开奖数据的统计与分析工具，只对历史开奖号码做计算和画图，"
    "不预测、也不保证任何开奖结果。\r\n"
    "2. 软件给出的大底、计划和过滤结果只是计算结果，不构成投注建议；"
    "是否投注、投注多少由使用者自行决定，一切后果由使用者自行承担。\r\n"
    "3. 请遵守所在地区的法律法规，理性购彩，未满18周岁不得购彩。\r\n"
    "4. 软件从使用者配置的开奖服务获取数据，数据的准确性以官方公布为准。\r\n"
    "5. 使用本软件即表示同意以上条款。";

QString Q(const char* utf8) {
    return QString::fromUtf8(utf8);
}
QString Q(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

template <typename T>
T* Named(T* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

void ApplyButtonColor(QPushButton* button, const QColor& color) {
    QPalette pal = button->palette();
    pal.setColor(QPalette::Button, color);
    button->setPalette(pal);
    button->setStyleSheet(
        QStringLiteral("QPushButton { background-color: %1; color: black;"
                       " border: 1px solid #707070; border-radius: 3px; padding: 4px 8px; }"
                       " QPushButton:pressed { background-color: %2; }")
            .arg(color.name(), color.darker(115).name()));
}

}  // namespace

QColor PanelButtonColor(bool current) {
    return current ? QColor(0, 255, 255) : QColor(128, 255, 128);
}

Fmain::Fmain(FmainOptions options, QWidget* parent)
    : QWidget(parent),
      ctx_(std::make_unique<AppContext>(std::filesystem::path(options.dataDir.toStdString()),
                                        options.service, options.requestTimeoutMs)),
      waitingTimer_(new QTimer(this)),
      countdownTimer_(new QTimer(this)),
      typedDrawTimer_(new QTimer(this)),
      betsTimer_(nullptr) {
    setObjectName(QStringLiteral("Fmain"));
    setWindowTitle(QStringLiteral("11选5 画线分析"));

    BuildLayout();

    countdownTimer_->setObjectName(QStringLiteral("Timer_gx"));
    countdownTimer_->setInterval(kCountdownMs);
    connect(countdownTimer_, &QTimer::timeout, this, &Fmain::CountdownTick);

    waitingTimer_->setObjectName(QStringLiteral("Timer_dengdai"));
    waitingTimer_->setInterval(kWaitingRefreshMs);
    // Never early, so each refresh shows one more second.
    waitingTimer_->setTimerType(Qt::PreciseTimer);
    connect(waitingTimer_, &QTimer::timeout, this, &Fmain::ShowWaiting);

    typedDrawTimer_->setObjectName(QStringLiteral("Timer_add_kjh"));
    typedDrawTimer_->setInterval(kTypedDrawMs);
    typedDrawTimer_->setSingleShot(true);
    connect(typedDrawTimer_, &QTimer::timeout, this, &Fmain::ApplyTypedDraw);

    // The disclaimer frame hosts the bet-universe timer.
    betsTimer_ = new QTimer(disclaimer_);
    betsTimer_->setObjectName(QStringLiteral("Timer_fuzhi"));
    betsTimer_->setInterval(kBuildBetsMs);
    betsTimer_->setSingleShot(true);
    connect(betsTimer_, &QTimer::timeout, this, &Fmain::BuildBets);

    ShowPanel(0);
}

Fmain::~Fmain() {
    // The panels and windows go first, while the context they refer to is still whole.
    QList<QPointer<QObject>> widgets;
    for (QObject* child : children()) {
        if (child->isWidgetType()) widgets.append(child);
    }
    for (const QPointer<QObject>& widget : widgets) delete widget.data();
}

void Fmain::BuildLayout() {
    // The strip's controls are direct children of the window, so a search by name from the
    // window finds them before any namesake inside a panel or a dialog.
    auto* regionRow = new QHBoxLayout;
    const char* regionNames[] = {"山东", "重庆", "广东"};
    for (int i = 0; i < 3; ++i) {
        regions_[i] = new QRadioButton(Q(regionNames[i]), this);
        regions_[i]->setObjectName(QStringLiteral("Op_lx_%1").arg(i));
        regionRow->addWidget(regions_[i]);
        connect(regions_[i], &QRadioButton::clicked, this, [this, i] { SelectRegion(i); });
    }
    regionRow->addStretch(1);

    auto* countdownRow = new QHBoxLayout;
    countdownRow->addWidget(Named(new QLabel(Q("更新倒计时"), this), "Label14"));
    countdown_ = Named(new QLabel(this), "L_djs");
    countdown_->setMinimumWidth(30);
    countdown_->setStyleSheet(QStringLiteral("color: rgb(192, 0, 0); font-weight: bold;"));
    countdownRow->addWidget(countdown_);
    countdownRow->addStretch(1);

    auto* fetchRow = new QHBoxLayout;
    autoUpdate_ = Named(new QCheckBox(Q("自动更新"), this), "Cauto");
    fetchNow_ = Named(new QPushButton(Q("手动更新"), this), "Cshoudong");
    fetchRow->addWidget(autoUpdate_);
    fetchRow->addWidget(fetchNow_, 1);
    // Its own indicator: the status line keeps its messages while a fetch is out.
    waiting_ = Named(new QLabel(this), "L_dengdai");
    waiting_->setStyleSheet(QStringLiteral("color: rgb(0, 0, 192);"));
    waiting_->hide();
    fetchRow->addWidget(waiting_);

    auto* entryRow = new QHBoxLayout;
    manualEntry_ = Named(new QPushButton(Q("录入开奖号"), this), "C_rulu_kjh");
    applyStaged_ = Named(new QPushButton(QStringLiteral("Command1"), this), "Command1");
    applyStaged_->setToolTip(Q("把刚取得的开奖数据再应用一次"));
    entryRow->addWidget(manualEntry_, 1);
    entryRow->addWidget(applyStaged_, 1);

    status_ = Named(new QLineEdit(Q("信息反馈栏"), this), "Tnew");
    status_->setReadOnly(true);
    drawList_ = Named(new QListWidget(this), "L_kjh");
    QFont mono = drawList_->font();
    mono.setFamily(QStringLiteral("monospace"));
    mono.setStyleHint(QFont::Monospace);
    drawList_->setFont(mono);
    drawList_->setMinimumHeight(120);

    terms_ = Named(new QPushButton(Q("软件协议"), this), "C_xieyi");
    termsText_ = Named(new QPlainTextEdit(Q(kTermsText), this), "T_xieyi");
    termsText_->setReadOnly(true);
    termsText_->hide();  // its text is shown through C_xieyi

    disclaimer_ = Named(new QGroupBox(Q("免责声明"), this), "Frame6");
    auto* disclaimerLayout = new QVBoxLayout(disclaimer_);
    disclaimerLayout->setContentsMargins(6, 2, 6, 4);
    disclaimerLayout->setSpacing(2);
    const char* disclaimerTexts[] = {"本软件只做历史开奖数据的统计分析，不构成投注建议。",
                                     "彩票有风险，购彩需理性；使用后果由使用者自行承担。"};
    for (int i = 0; i < 2; ++i) {
        auto* label = new QLabel(Q(disclaimerTexts[i]), disclaimer_);
        label->setObjectName(QStringLiteral("Label_mianze_%1").arg(i));
        label->setWordWrap(true);
        disclaimerLayout->addWidget(label);
    }

    for (QWidget* w : {static_cast<QWidget*>(status_), static_cast<QWidget*>(drawList_),
                       static_cast<QWidget*>(disclaimer_)})
        w->setFixedWidth(kStripWidth);

    auto* strip = new QVBoxLayout;
    strip->setSpacing(4);
    strip->addLayout(regionRow);
    strip->addLayout(countdownRow);
    strip->addLayout(fetchRow);
    strip->addLayout(entryRow);
    strip->addWidget(status_);
    strip->addWidget(drawList_, 1);
    strip->addWidget(terms_);
    strip->addWidget(disclaimer_);

    // The panel buttons over the panels, which share one grid cell.
    auto* panelButtons = new QHBoxLayout;
    const char* panelCaptions[] = {"画趋势", "监控表", "出计划", "断组区", "回测"};
    for (int i = 0; i < kPanelCount; ++i) {
        auto* button = new QPushButton(Q(panelCaptions[i]), this);
        button->setObjectName(QStringLiteral("C_sst_0_%1").arg(i));
        button->setMinimumWidth(90);
        panelButtons->addWidget(button);
        panelButtons_[i] = button;
        connect(button, &QPushButton::clicked, this, [this, i] { ShowPanel(i); });
    }
    panelButtons->addStretch(1);

    links_.draw = new DrawPanel(*ctx_, links_, this);
    links_.monitor = new MonitorPanel(*ctx_, links_, this);
    links_.plan = new PlanPanel(*ctx_, links_, this);
    connect(links_.plan, &PlanPanel::planFinished, this, &Fmain::ApplyPendingDraws);
    links_.sort = new SortPanel(*ctx_, links_, this);
    links_.backtest = new BacktestPanel(*ctx_, links_, this);
    links_.showPanel = [this](int index) { ShowPanel(index); };
    links_.applyDraws = [this] { ApplyDraws(); };
    panels_ = {links_.draw, links_.monitor, links_.plan, links_.sort, links_.backtest};
    auto* panelArea = new QGridLayout;
    panelArea->setContentsMargins(0, 0, 0, 0);
    for (QWidget* panel : panels_) panelArea->addWidget(panel, 0, 0);

    auto* right = new QVBoxLayout;
    right->setSpacing(4);
    right->addLayout(panelButtons);
    right->addLayout(panelArea, 1);

    auto* top = new QHBoxLayout;
    top->addLayout(strip);
    top->addLayout(right, 1);

    links_.backup = new BackupStrip(*ctx_, links_, this);

    // The strip keeps its own height whichever panel is shown.
    links_.backup->setSizePolicy(links_.backup->sizePolicy().horizontalPolicy(),
                                 QSizePolicy::Fixed);

    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(6, 6, 6, 6);
    root->setSpacing(4);
    root->addLayout(top, 1);
    root->addWidget(links_.backup);

    connect(fetchNow_, &QPushButton::clicked, this, &Fmain::ManualFetch);
    connect(manualEntry_, &QPushButton::clicked, this, &Fmain::OpenManualEntry);
    connect(applyStaged_, &QPushButton::clicked, this, &Fmain::ApplyDraws);
    connect(terms_, &QPushButton::clicked, this, &Fmain::ShowTerms);
}

void Fmain::ShowPanel(int index) {
    for (QWidget* panel : panels_) panel->hide();
    panels_[index]->show();
    for (int i = 0; i < kPanelCount; ++i)
        ApplyButtonColor(panelButtons_[i], PanelButtonColor(i == index));
    currentPanel_ = index;
}

void Fmain::SelectRegion(int index) {
    ctx_->state.RegionCode = index + 1;
}

void Fmain::SetStatus(const std::string& text) {
    status_->setText(Q(text));
}

float Fmain::NextCacheBreaker() {
    // Rounding a double just below 10 to single precision could give 10 itself.
    float a = static_cast<float>(NextUnit(ctx_->rng) * 10.0);
    if (a >= 10.0f) a = std::nextafter(10.0f, 0.0f);
    return a;
}

void Fmain::ManualFetch() {
    fetchNow_->setEnabled(false);
    FetchDraws();
}

void Fmain::FetchDraws() {
    if (fetchInFlight_) return;
    fetchInFlight_ = true;
    fetchNow_->setEnabled(false);
    waitingSince_.start();
    ShowWaiting();
    waiting_->show();
    waitingTimer_->start();
    const std::string url = BuildDrawRequestUrl(ctx_->service.url.toStdString(),
                                                ctx_->state.RegionCode, NextCacheBreaker());
    // The answer is archived under the region it was asked for, whatever is selected by then.
    ctx_->Http().HttpRequest(QStringLiteral("POST"), Q(url), QByteArray(),
                             [this, region = ctx_->state.RegionCode](std::string body) {
                                 HandleFeedAnswer(body);
                                 links_.backtest->ArchiveFetch(region, body);
                             });
}

void Fmain::ShowWaiting() {
    waiting_->setText(Q("等待应答 %1 秒").arg(waitingSince_.elapsed() / 1000));
}

void Fmain::HandleFeedAnswer(const std::string& body) {
    fetchInFlight_ = false;
    waitingTimer_->stop();
    waiting_->hide();
    if (body.empty()) {
        SetStatus(kMsgCannotConnect);
    } else {
        SetStatus(kMsgConnected);
        const FeedParse parse = ParseFeedResponse(body, ctx_->state);
        if (parse.hasNewDraws)
            ApplyDraws();
        else
            SetStatus(parse.status);
    }
    fetchNow_->setEnabled(true);
    emit fetchHandled();
}

void Fmain::CountdownTick() {
    const xuan5::CountdownTick tick =
        TickCountdown(ctx_->state.CountdownSeconds, autoUpdate_->isChecked());
    countdown_->setText(Q(tick.label));
    if (!tick.status.empty()) SetStatus(tick.status);
    if (tick.fetch) FetchDraws();
}

void Fmain::ApplyDraws() {
    // A plan in progress reads the history between its instances, and the pipeline must finish
    // judging one draw before the next is applied: the update waits and is applied after them.
    if (pipelineRunning_ || links_.plan->PlanRunning()) {
        applyPending_ = true;
        return;
    }
    const ApplyOutcome outcome = ApplyIncomingDraws(ctx_->state);
    if (!outcome.applied) {
        ctx_->Show(this, Q(kMsgNoDrawData), Q(kTitleNoDrawData));
        return;
    }
    drawList_->setUpdatesEnabled(false);
    drawList_->clear();
    for (const std::string& line : outcome.drawList) drawList_->addItem(Q(line));
    drawList_->setUpdatesEnabled(true);
    SetStatus(outcome.status);
    if (outcome.runAfterDrawPipeline) {
        pipelineRunning_ = true;
        AfterDrawPipeline(*ctx_, links_);
        pipelineRunning_ = false;
        ++pipelineRuns_;
    }
    ApplyPendingDraws();
}

void Fmain::ApplyPendingDraws() {
    if (!applyPending_ || pipelineRunning_ || links_.plan->PlanRunning()) return;
    applyPending_ = false;
    // Later: the pipeline or plan that made it wait is still on the call stack.
    QTimer::singleShot(0, this, &Fmain::ApplyDraws);
}

void Fmain::OpenManualEntry() {
    if (ctx_->state.UpdateCount == 0) {
        ctx_->Show(this, Q(kMsgNoDrawData), Q(kTitleNoDrawData));
        return;
    }
    auto* entry = new Fadd(
        ctx_->state.DrawHistory, [this](const DrawRecord& draw) { StageTypedDraw(draw); }, this);
    entry->setAttribute(Qt::WA_DeleteOnClose);
    entry->open();
}

void Fmain::StageTypedDraw(const DrawRecord& draw) {
    xuan5::StageTypedDraw(ctx_->state, draw);
    autoUpdate_->setChecked(false);
    // One typed draw at a time: a second one staged before the first is applied would
    // replace it.
    manualEntry_->setEnabled(false);
    typedDrawTimer_->start();
}

void Fmain::ApplyTypedDraw() {
    ApplyDraws();
    manualEntry_->setEnabled(true);
    typedDrawTimer_->stop();
}

void Fmain::BuildBets() {
    ctx_->state.AllBets = BuildAllBets();
    betsTimer_->stop();
}

void Fmain::ShowTerms() {
    ctx_->Show(this, termsText_->toPlainText(), Q(kTermsTitle));
}

void Fmain::closeEvent(QCloseEvent* event) {
    if (ctx_->Show(this, Q(kCloseQuestion), Q(kCloseTitle), MessageButtons::YesNo) !=
        MessageAnswer::Yes) {
        event->ignore();
        return;
    }
    event->accept();
    links_.plan->StopPlan();
    ctx_->endApplication(0);
}

}  // namespace xuan5::ui
