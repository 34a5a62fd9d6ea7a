#include "ui/shell/fmain.h"
#include "core/message_titles.h"
#include "ui/common/qt_text.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QShortcut>
#include <QTimer>
#include <QVBoxLayout>

#include "core/bets.h"
#include "ui/backtest/backtest_panel.h"
#include "ui/backup/backup_strip.h"
#include "ui/common/archive_service.h"
#include "ui/draw/draw_panel.h"
#include "ui/monitor/monitor_panel.h"
#include "ui/plan/plan_panel.h"
#include "ui/shell/fbangzhu.h"
#include "ui/sortfilter/sort_panel.h"
#include "ui/widgets/color_button.h"
#include "ui/widgets/kept_settings.h"

namespace xuan5::ui {

namespace {

constexpr int kBuildBetsMs = 200;
constexpr const char* kCloseQuestion = "是否要关闭软件？";

// A panel keeps its natural size inside: when the window is smaller, it scrolls rather than
// squeezing its controls until their texts are cut.
QScrollArea* Scrolling(QWidget* content, const QString& name, QWidget* parent) {
    auto* area = new QScrollArea(parent);
    area->setObjectName(name);
    area->setFrameShape(QFrame::NoFrame);
    area->setWidgetResizable(true);
    if (content) area->setWidget(content);
    return area;
}

}  // namespace

QColor PanelButtonColor(bool current) {
    return current ? QColor(0, 255, 255) : QColor(128, 255, 128);
}

Fmain::Fmain(FmainOptions options, QWidget* parent)
    : QWidget(parent),
      panelsWhenNeeded_(options.panelsWhenNeeded),
      ctx_(std::make_unique<AppContext>(std::filesystem::path(options.dataDir.toStdString()),
                                        options.service, options.requestTimeoutMs)),
      betsTimer_(nullptr) {
    setObjectName(QStringLiteral("Fmain"));
    setWindowTitle(QStringLiteral("11选5 画线分析"));
    manualFile_ = ManualIndexFile(QCoreApplication::applicationDirPath());

    BuildLayout();

    // The disclaimer frame hosts the bet-universe timer.
    betsTimer_ = new QTimer(disclaimer_);
    betsTimer_->setObjectName(QStringLiteral("Timer_fuzhi"));
    betsTimer_->setInterval(kBuildBetsMs);
    betsTimer_->setSingleShot(true);
    connect(betsTimer_, &QTimer::timeout, this, &Fmain::BuildBets);

    auto* f1 = new QShortcut(QKeySequence::HelpContents, this);
    f1->setObjectName(QStringLiteral("Shortcut_bangzhu"));
    connect(f1, &QShortcut::activated, this, &Fmain::ShowManual);

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
    QLayout* strip = BuildStrip();

    // The panel buttons over the panels, which share one grid cell.
    auto* panelButtons = new QHBoxLayout;
    const char* panelCaptions[] = {"画趋势", "监控表", "出计划", "断组区", "回测"};
    for (int i = 0; i < kPanelCount; ++i) {
        auto* button = new ColorButton(Q(panelCaptions[i]), this);
        button->setObjectName(QStringLiteral("C_sst_0_%1").arg(i));
        button->setMinimumWidth(90);
        panelButtons->addWidget(button);
        panelButtons_[i] = button;
        connect(button, &QPushButton::clicked, this, [this, i] { ShowPanel(i); });
    }
    panelButtons->addStretch(1);

    archive_ = new ArchiveService(ctx_->services, this);
    panels_.backup = new BackupStrip(ctx_->services, ctx_->session, links_, this);
    feed_ = new FeedController(
        *ctx_, [this]() -> const MainPanels& { return Panels(); }, panels_, *archive_,
        feedControls_, this);
    connect(feed_, &FeedController::fetchHandled, this, &Fmain::fetchHandled);
    connect(applyStaged_, &QPushButton::clicked, this, &Fmain::ApplyDraws);
    WireLinks();
    auto* panelArea = new QGridLayout;
    panelArea->setContentsMargins(0, 0, 0, 0);
    for (int i = 0; i < kPanelCount; ++i) {
        panelWidgets_[i] = Scrolling(nullptr, QStringLiteral("Scroll_ding_%1").arg(i), this);
        panelArea->addWidget(panelWidgets_[i], 0, 0);
    }
    for (int i = 0; i < kPanelCount; ++i) {
        if (!panelsWhenNeeded_ || i == 0) BuildPanel(i);
    }

    auto* right = new QVBoxLayout;
    right->setSpacing(4);
    right->addLayout(panelButtons);
    right->addLayout(panelArea, 1);

    auto* top = new QHBoxLayout;
    top->addLayout(strip);
    top->addLayout(right, 1);

    // The backup strip keeps its own height whichever panel is shown, and scrolls sideways on a
    // narrow window.
    auto* backup = Scrolling(panels_.backup, QStringLiteral("Scroll_beiyong"), this);
    backup->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const int scrollBar = backup->horizontalScrollBar()->sizeHint().height();
    backup->setFixedHeight(panels_.backup->sizeHint().height() + scrollBar);

    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(6, 6, 6, 6);
    root->setSpacing(4);
    root->addLayout(top, 1);
    root->addWidget(backup);
    setMinimumSize(kMinimumWidth, kMinimumHeight);
}

void Fmain::BuildPanel(int index) {
    if (PanelBuilt(index)) return;
    QWidget* panel = nullptr;
    switch (index) {
        case 0:
            panel = panels_.draw = new DrawPanel(ctx_->services, ctx_->session, links_, this);
            break;
        case 1:
            panel = panels_.monitor = new MonitorPanel(ctx_->services, ctx_->session, links_, this);
            break;
        case 2:
            panel = panels_.plan = new PlanPanel(ctx_->services, ctx_->session, links_, this);
            connect(panels_.plan, &PlanPanel::planFinished, feed_, &FeedController::RunQueue);
            break;
        case 3:
            panel = panels_.sort = new SortPanel(ctx_->services, ctx_->session, this);
            break;
        default:
            panel = panels_.backtest =
                new BacktestPanel(ctx_->services, ctx_->session, links_, *archive_, this);
            break;
    }
    panelWidgets_[index]->setWidget(panel);
    if (startedUp_) ApplyPanelDefaults(index);
    if (settings_) KeepPanelSettings(index);
}

bool Fmain::PanelBuilt(int index) const {
    const std::array<const QWidget*, kPanelCount> panels = {
        panels_.draw, panels_.monitor, panels_.plan, panels_.sort, panels_.backtest};
    return panels[static_cast<std::size_t>(index)] != nullptr;
}

const MainPanels& Fmain::Panels() {
    for (int i = 0; i < kPanelCount; ++i) BuildPanel(i);
    return panels_;
}

void Fmain::WireLinks() {
    links_.showBase = [this](const QString& base) {
        ShowPanel(0);
        panels_.draw->ShowBase(base);
    };
    // What the panels read of each other builds the panel read.
    links_.applyTable = [this](const DrawTable& table) {
        ctx_->session.IncomingDraws(ctx_->session.RegionCode) = table;
        ApplyDraws();
    };
    links_.backup = panels_.backup->Link();
    links_.followBackupIntersection = [this] { Panels().plan->FollowBackupIntersection(); };
    links_.lineSelection = [this] { return Panels().monitor->Selection(); };
    links_.lineSizes = [this] { return Panels().draw->LineSizes(); };
    links_.showStatus = [this](const QString& text) { feed_->SetStatus(text.toStdString()); };
    links_.planSettings = [this] { return Panels().plan->Settings(); };
    links_.applyPlanSettings = [this](const PlanSettings& settings) {
        Panels().plan->ApplySettings(settings);
        const LineIntersectionInput& selection = settings.modeOne.selection;
        panels_.monitor->ApplyLineSelection(selection.lineTolerance, selection.checkedLines);
        const LineBasesInput& lines =
            settings.useModeTwo ? settings.modeTwo.lines : settings.modeOne.lines;
        for (int i = 0; i < kLineCount; ++i)
            panels_.draw->SetLineSize(i, QString::fromStdString(lines.lineSizes[i]));
    };
    // The record's first fifteen fields are the drawing panel's bet counts, the rest the plan
    // panel's mode settings.
    links_.settingsFields = [this] {
        Panels();
        std::vector<std::string> fields;
        for (const std::string& size : panels_.draw->LineSizes()) fields.push_back(size);
        for (const std::string& text : panels_.plan->SettingsTexts()) fields.push_back(text);
        return fields;
    };
    links_.setSettingsField = [this](int index, const std::string& text) {
        Panels();
        const QString value = QString::fromStdString(text);
        if (index < kLineCount) {
            panels_.draw->SetLineSize(index, value);
        } else {
            panels_.plan->SetSettingsText(index - kLineCount, value);
        }
    };
}

void Fmain::KeepSettings(const QString& file) {
    settings_ = new QSettings(file, QSettings::IniFormat, this);
    // "自动更新" and the watched regions ("监控地区").
    std::vector<QWidget*> feed = {feedControls_.autoUpdate};
    AppendControls(feed, feedControls_.watched);
    KeepControls(*settings_, QStringLiteral("feed"), feed);
    panels_.backup->KeepSettings(*settings_);
    for (int i = 0; i < kPanelCount; ++i) {
        if (PanelBuilt(i)) KeepPanelSettings(i);
    }
}

void Fmain::KeepPanelSettings(int index) {
    switch (index) {
        case 0:
            panels_.draw->KeepSettings(*settings_);
            break;
        case 1:
            panels_.monitor->KeepSettings(*settings_);
            break;
        case 2:
            panels_.plan->KeepSettings(*settings_);
            break;
        case 3:
            panels_.sort->KeepSettings(*settings_);
            break;
        default:
            break;
    }
}

void Fmain::ShowPanel(int index) {
    BuildPanel(index);
    for (QWidget* panel : panelWidgets_) panel->hide();
    panelWidgets_[index]->show();
    for (int i = 0; i < kPanelCount; ++i) panelButtons_[i]->SetColor(PanelButtonColor(i == index));
    currentPanel_ = index;
}

bool Fmain::FetchInFlight() const {
    return feed_->FetchInFlight();
}

int Fmain::PipelineRuns() const {
    return feed_->PipelineRuns();
}

bool Fmain::ApplyPending() const {
    return feed_->ApplyPending();
}

void Fmain::StartFeed() {
    feed_->StartFeed();
}

void Fmain::SelectRegion(int index) {
    feed_->SelectRegion(index);
}

void Fmain::ManualFetch() {
    feed_->ManualFetch();
}

void Fmain::FetchDraws() {
    feed_->FetchRegion(ctx_->session.RegionCode);
}

void Fmain::CountdownTick() {
    feed_->CountdownTick();
}

void Fmain::ApplyDraws() {
    feed_->ApplyStaged();
}

void Fmain::OpenManualEntry() {
    feed_->OpenManualEntry();
}

void Fmain::ApplyTypedDraw() {
    feed_->ApplyTypedDraw();
}

void Fmain::BuildBets() {
    ctx_->session.AllBets = BuildAllBets();
    betsTimer_->stop();
}

void Fmain::ShowTerms() {
    ctx_->services.Show(this, termsText_->toPlainText(), Q(kTitleTerms));
}

bool Fmain::event(QEvent* event) {
    if (event->type() == QEvent::Paint && !painted_) {
        painted_ = true;
        QTimer::singleShot(0, this, &Fmain::AfterFirstPaint);
    }
    return QWidget::event(event);
}

void Fmain::ShowManual() {
    if (!QFileInfo(manualFile_).isFile()) {
        ShowFailure(this,
                    QStringLiteral("找不到使用手册：%1").arg(QDir::toNativeSeparators(manualFile_)),
                    Q(kTitleNotice));
        return;
    }
    // One window, which stays open beside the main window while the user follows it.
    if (!manual_) {
        manual_ = new Fbangzhu(manualFile_, this);
        manual_->setWindowFlag(Qt::Window);
    }
    manual_->show();
    manual_->raise();
    manual_->activateWindow();
}

void Fmain::closeEvent(QCloseEvent* event) {
    if (ctx_->services.Show(this, Q(kCloseQuestion), Q(kTitleNotice), MessageButtons::YesNo) !=
        MessageAnswer::Yes) {
        event->ignore();
        return;
    }
    event->accept();
    if (panels_.plan) panels_.plan->StopPlan();
    ctx_->services.endApplication(0);
}

}  // namespace xuan5::ui
