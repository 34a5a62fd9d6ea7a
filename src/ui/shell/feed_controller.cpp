#include "ui/shell/feed_controller.h"
#include "core/message_titles.h"
#include "ui/common/qt_text.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <algorithm>
#include <cmath>

#include "core/random.h"
#include "core/update_step.h"
#include "feed/feed_parser.h"
#include "feed/manual_entry.h"
#include "ui/common/app_context.h"
#include "ui/common/archive_service.h"
#include "ui/common/failure_text.h"
#include "ui/monitor/monitor_panel.h"
#include "ui/plan/plan_panel.h"
#include "ui/shell/fadd.h"
#include "ui/shell/fmain.h"
#include "ui/sortfilter/sort_panel.h"
#include "ui/widgets/status_line.h"

namespace xuan5::ui {

namespace {

constexpr int kCountdownMs = 1000;
constexpr int kTypedDrawMs = 100;
constexpr int kWaitingRefreshMs = 1000;
// The most archived draws one gap is bridged with.
constexpr int kBridgeLimit = 5000;

std::string CorrectedPeriods(const std::vector<DrawRecord>& corrected) {
    std::string periods;
    for (const DrawRecord& draw : corrected) {
        if (!periods.empty()) periods += "、";
        periods += draw.period;
    }
    return periods;
}

}  // namespace

FeedController::FeedController(AppContext& ctx, std::function<const MainPanels&()> panels,
                               const MainPanels& built, ArchiveService& archive,
                               FeedControls controls, QWidget* window)
    : QObject(window),
      ctx_(ctx),
      panels_(std::move(panels)),
      built_(built),
      archive_(archive),
      c_(controls),
      window_(window),
      countdownTimer_(new QTimer(this)),
      typedDrawTimer_(new QTimer(this)),
      waitingTimer_(new QTimer(this)) {
    countdownTimer_->setObjectName(QStringLiteral("Timer_gx"));
    countdownTimer_->setInterval(kCountdownMs);
    connect(countdownTimer_, &QTimer::timeout, this, &FeedController::CountdownTick);

    waitingTimer_->setObjectName(QStringLiteral("Timer_dengdai"));
    waitingTimer_->setInterval(kWaitingRefreshMs);
    // Never early, so each refresh shows one more second.
    waitingTimer_->setTimerType(Qt::PreciseTimer);
    connect(waitingTimer_, &QTimer::timeout, this, &FeedController::ShowWaiting);

    typedDrawTimer_->setObjectName(QStringLiteral("Timer_add_kjh"));
    typedDrawTimer_->setInterval(kTypedDrawMs);
    typedDrawTimer_->setSingleShot(true);
    connect(typedDrawTimer_, &QTimer::timeout, this, &FeedController::ApplyTypedDraw);

    for (int i = 0; i < kRegionCount; ++i) {
        connect(c_.regions[i], &QRadioButton::clicked, this, [this, i] { SelectRegion(i); });
    }
    connect(c_.fetchNow, &QPushButton::clicked, this, &FeedController::ManualFetch);
    c_.status->SetSource(QStringLiteral("开奖数据来自 ") + ctx_.services.service.url);
    connect(c_.manualEntry, &QPushButton::clicked, this, &FeedController::OpenManualEntry);
}

void FeedController::StartTimers() {
    typedDrawTimer_->stop();
    countdownTimer_->start();
}

void FeedController::StartFeed() {
    SetStatus("开奖数据来自 " + ctx_.services.service.url.toStdString() + "，正在获取");
    FetchWatched();
}

void FeedController::SetStatus(const std::string& text, bool failure) {
    c_.status->setText(Q(text));
    statusFailure_ = failure;
    // A long reason must not push the start of the text out of the box.
    if (failure) c_.status->setCursorPosition(0);
}

bool FeedController::Watched(int region) const {
    return region == ctx_.session.RegionCode || c_.watched[region - 1]->isChecked();
}

float FeedController::NextCacheBreaker() {
    // Rounding a double just below 10 to single precision could give 10 itself.
    float a = static_cast<float>(NextUnit(ctx_.services.rng) * 10.0);
    if (a >= 10.0f) a = std::nextafter(10.0f, 0.0f);
    return a;
}

bool FeedController::FetchInFlight() const {
    return inFlight_[static_cast<std::size_t>(ctx_.session.RegionCode)];
}

bool FeedController::AnyFetchInFlight() const {
    return std::find(inFlight_.begin(), inFlight_.end(), true) != inFlight_.end();
}

void FeedController::ManualFetch() {
    c_.fetchNow->setEnabled(false);
    FetchRegion(ctx_.session.RegionCode);
}

void FeedController::FetchWatched() {
    const int shown = ctx_.session.RegionCode;
    FetchRegion(shown);
    for (int region = 1; region <= kRegionCount; ++region) {
        if (region != shown && Watched(region)) FetchRegion(region);
    }
}

void FeedController::FetchRegion(int region) {
    // One request per region at a time; a countdown that comes due meanwhile skips it.
    if (inFlight_[static_cast<std::size_t>(region)]) return;
    inFlight_[static_cast<std::size_t>(region)] = true;
    if (region == ctx_.session.RegionCode) {
        c_.fetchNow->setEnabled(false);
        waitingSince_.start();
        ShowWaiting();
        c_.waiting->show();
        waitingTimer_->start();
    }
    const std::string url =
        BuildDrawRequestUrl(ctx_.services.service.url.toStdString(), region, NextCacheBreaker());
    // The answer belongs to the region it was asked for, whatever is shown by then.
    ctx_.services.Http().HttpRequest(QStringLiteral("POST"), QString::fromStdString(url),
                                     QByteArray(), [this, region](const HttpReply& reply) {
                                         archive_.ArchiveFetch(region, reply.Body());
                                         HandleAnswer(region, reply);
                                     });
}

void FeedController::ShowWaiting() {
    c_.waiting->setText(QStringLiteral("等待应答 %1 秒").arg(waitingSince_.elapsed() / 1000));
}

void FeedController::HandleAnswer(int region, const HttpReply& reply) {
    inFlight_[static_cast<std::size_t>(region)] = false;
    const bool shown = region == ctx_.session.RegionCode;
    if (shown) {
        waitingTimer_->stop();
        c_.waiting->hide();
        c_.fetchNow->setEnabled(true);
    }
    const std::string body = reply.Body();
    if (body.empty()) {
        if (shown) {
            SetStatus(WithListNote(WithFailureReason(kMsgCannotConnect, reply).toStdString()),
                      true);
        }
    } else {
        if (shown) SetStatus(kMsgConnected);
        const FeedParse parse = ParseFeedResponse(body, ctx_.session.Book(region).History());
        if (parse.staged) {
            ctx_.session.IncomingDraws(region) = *parse.staged;
            ApplyStaged(region);
        } else if (shown) {
            SetStatus(WithListNote(parse.status), parse.status == kMsgNoFeedData);
        }
    }
    emit fetchHandled(region);
}

void FeedController::CountdownTick() {
    const xuan5::CountdownTick tick =
        TickCountdown(ctx_.session.CountdownSeconds, c_.autoUpdate->isChecked());
    ctx_.session.CountdownSeconds = tick.seconds;
    c_.countdown->setText(Q(tick.label));
    // The reminder never hides why the last fetch failed.
    if (!tick.status.empty() && !statusFailure_) SetStatus(tick.status);
    if (tick.fetch) FetchWatched();
}

void FeedController::ApplyStaged() {
    ApplyStaged(ctx_.session.RegionCode);
}

void FeedController::ApplyStaged(int region) {
    // The staged table is the newest one of its region: one turn per region is enough.
    if (std::find(queue_.begin(), queue_.end(), region) == queue_.end()) queue_.push_back(region);
    RunQueue();
}

void FeedController::RunQueue() {
    // A plan in progress reads the shown book between its instances, and a book judges one table
    // to its end before the next: whatever comes meanwhile waits for them.
    while (!busy_ && !PlanRunning() && !queue_.empty()) {
        const int region = queue_.front();
        queue_.pop_front();
        ApplyNow(region);
    }
    if (busy_ || PlanRunning() || pendingRegion_ == 0) return;
    const int index = pendingRegion_ - 1;
    pendingRegion_ = 0;
    QTimer::singleShot(0, this, [this, index] { SelectRegion(index); });
}

bool FeedController::PlanRunning() const {
    return built_.plan && built_.plan->PlanRunning();
}

void FeedController::ApplyNow(int region) {
    const MainPanels& panels = panels_();
    Session& session = ctx_.session;
    RecordBook& book = session.Book(region);
    const bool shown = region == session.RegionCode;
    if (!HoldsValidDraw(session.IncomingDraws(region))) {
        // Nothing staged yet (Command1 before any fetch).
        if (shown) ctx_.services.Show(window_, Message{kMsgNoDrawData, kTitleErrorNotice});
        return;
    }
    busy_ = true;
    const ArchiveBridge bridge = [this, region](const DrawRecord& after) {
        std::vector<DrawRecord> draws;
        if (after.date.empty()) return draws;
        Result<DrawArchive> archive = archive_.Open();
        if (!archive) return draws;
        const auto rows = archive->DrawsAfter(region, after.date, after.period, kBridgeLimit);
        if (!rows) return draws;
        for (const DatedDraw& row : *rows) draws.push_back({row.period, row.numbers, row.date});
        return draws;
    };
    const TableOutcome out =
        book.ApplyTable(session.IncomingDraws(region), panels.plan->ResultWords(), bridge);
    using Kind = TableOutcome::Kind;
    // The list shows the region's own draws as they stand now.
    if (shown) listStale_ = false;
    if (out.kind == Kind::None) {
        if (shown) SetStatus(kMsgNoUpdate);
        busy_ = false;
        return;
    }
    ++session.UpdateCount(region);
    // The draws are judged and the waiting record settled; the next plan follows them.
    if (out.kind == Kind::Newer && panels.plan->AutoPlanTicked()) {
        if (shown) {
            panels.plan->StartPlan();
        } else {
            panels.plan->PlanForRegion(book);
        }
    }
    SaveBook(ctx_.services, ctx_.session, window_, region);
    if (shown) {
        ShowDrawList(DrawListLines(book.History()), out.shownRows);
        std::string status(kMsgDrawsApplied);
        if (out.kind == Kind::Corrected) {
            status = "已更正：" + CorrectedPeriods(out.corrected) + "期开奖号码";
        } else if (!out.corrected.empty()) {
            status += "已更正：" + CorrectedPeriods(out.corrected) + "期";
        }
        SetStatus(status);
        if (out.kind != Kind::FirstLoad) {
            panels.monitor->RedrawMonitorTable();
            panels.plan->ShowRecords(false);
            panels.sort->RefreshSort();
            if (out.kind == Kind::Newer) ++pipelineRuns_;
        }
    } else if (out.kind != Kind::Corrected) {
        unseen_[static_cast<std::size_t>(region)] = true;
    }
    UpdateRegionButton(region);
    busy_ = false;
}

void FeedController::SelectRegion(int index) {
    const int region = index + 1;
    Session& session = ctx_.session;
    if (region == session.RegionCode) return;
    // A plan in progress reads the shown region's book between its instances.
    if (busy_ || PlanRunning()) {
        pendingRegion_ = region;
        return;
    }
    const int before = session.RegionCode;
    session.RegionCode = region;
    c_.regions[static_cast<std::size_t>(index)]->setChecked(true);
    unseen_[static_cast<std::size_t>(region)] = false;
    listStale_ = true;
    // The button and the waiting label follow the fetch of the region now shown.
    c_.fetchNow->setEnabled(!FetchInFlight());
    if (!FetchInFlight()) {
        waitingTimer_->stop();
        c_.waiting->hide();
    }
    ShowRegionBook();
    UpdateRegionButton(before);
    SetStatus(WithListNote("已切换到" + RegionName(region).toStdString() + "，正在获取开奖数据"));
    FetchRegion(region);
}

void FeedController::ShowRegionBook() {
    const RecordBook& book = ctx_.session.Shown();
    ShowDrawList(book.HasDraws() ? DrawListLines(book.History()) : std::vector<std::string>{}, 0);
    // Panels not built yet show the book when they are.
    if (built_.monitor) built_.monitor->RedrawMonitorTable();
    if (built_.plan) built_.plan->ShowRecords(true);
    UpdateRegionButton(book.Region());
}

void FeedController::UpdateRegionButton(int region) {
    const RecordBook& book = ctx_.session.Book(region);
    QString text = RegionName(region);
    if (book.HasDraws()) text += QLatin1Char(' ') + Q(book.History()[1].period);
    const int outcome = book.LastOutcome();
    if (outcome >= 0) text += outcome ? QStringLiteral(" 中") : QStringLiteral(" 挂");
    if (unseen_[static_cast<std::size_t>(region)]) text += QStringLiteral(" ●");
    QRadioButton* button = c_.regions[static_cast<std::size_t>(region - 1)];
    button->setText(text);
    button->setToolTip(unseen_[static_cast<std::size_t>(region)]
                           ? QStringLiteral("有新开奖尚未查看")
                           : QStringLiteral("最新期号与最近一条计划记录的结果"));
}

void FeedController::ShowDrawList(const std::vector<std::string>& lines, int newRows) {
    QListWidget* list = c_.drawList;
    const int count = static_cast<int>(lines.size());
    list->setUpdatesEnabled(false);
    if (list->count() == count && newRows > 0 && newRows < count) {
        // New draws push the list down: only they are added, and as many of the oldest dropped;
        // the rows in between keep their items unless a correction changed their text.
        for (int k = 0; k < newRows; ++k) delete list->takeItem(list->count() - 1);
        for (int k = newRows - 1; k >= 0; --k) list->insertItem(0, QString());
        for (int i = 0; i < count; ++i) {
            const QString text = Q(lines[static_cast<std::size_t>(i)]);
            if (list->item(i)->text() != text) list->item(i)->setText(text);
        }
    } else {
        list->clear();
        for (const std::string& line : lines) list->addItem(Q(line));
    }
    list->setUpdatesEnabled(true);
}

std::string FeedController::WithListNote(const std::string& text) const {
    if (!listStale_) return text;
    const std::string region = RegionName(ctx_.session.RegionCode).toStdString();
    if (!ctx_.session.HasDraws()) return text + "（" + region + "尚无开奖数据）";
    return text + "（列表为" + region + "上次取得的开奖数据）";
}

void FeedController::OpenManualEntry() {
    if (!RequireDraws(ctx_.services, ctx_.session, window_)) return;
    auto* entry = new Fadd(
        ctx_.session.DrawHistory(), [this](const DrawRecord& draw) { return StageTypedDraw(draw); },
        window_);
    entry->setAttribute(Qt::WA_DeleteOnClose);
    entry->open();
}

bool FeedController::StageTypedDraw(const DrawRecord& draw) {
    Session& session = ctx_.session;
    const DrawTable& history = session.DrawHistory();
    // A period that is not the next one is most likely a slip of the keyboard.
    const std::string question = TypedPeriodQuestion(history, draw.period);
    if (!question.empty() && ctx_.services.Show(window_, Q(question), Q(kTitleNotice),
                                                MessageButtons::YesNo) != MessageAnswer::Yes) {
        return false;
    }
    DrawRecord dated = draw;
    dated.date = TypedDrawDate(history[1], draw.period);
    typedRegion_ = session.RegionCode;
    session.IncomingDraws(typedRegion_) = xuan5::StageTypedDraw(history, dated);
    c_.autoUpdate->setChecked(false);
    // One typed draw at a time: a second one staged before the first is applied would
    // replace it.
    c_.manualEntry->setEnabled(false);
    typedDrawTimer_->start();
    return true;
}

void FeedController::ApplyTypedDraw() {
    typedDrawTimer_->stop();
    if (typedRegion_ != 0) ApplyStaged(typedRegion_);
    typedRegion_ = 0;
    c_.manualEntry->setEnabled(true);
}

}  // namespace xuan5::ui
