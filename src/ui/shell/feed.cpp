// The feed side of the main window: the countdown, fetching draws, applying a staged table and
// the after-draw pipeline it starts, and typed draws.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <cmath>

#include "core/random.h"
#include "core/update_step.h"
#include "feed/feed_parser.h"
#include "feed/manual_entry.h"
#include "protocol/endpoints.h"
#include "ui/backtest/archive_service.h"
#include "ui/monitor/monitor_panel.h"
#include "ui/plan/plan_panel.h"
#include "ui/shell/after_draw_pipeline.h"
#include "ui/shell/fadd.h"
#include "ui/shell/failure_text.h"
#include "ui/shell/fmain.h"
#include "ui/sortfilter/sort_panel.h"

namespace xuan5::ui {

namespace {

QString Q(const char* utf8) {
    return QString::fromUtf8(utf8);
}
QString Q(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

}  // namespace

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
                                                ctx_->session.RegionCode, NextCacheBreaker());
    // The answer is archived under the region it was asked for, whatever is selected by then.
    ctx_->Http().HttpRequest(QStringLiteral("POST"), QString::fromStdString(url), QByteArray(),
                             [this, region = ctx_->session.RegionCode](const HttpReply& reply) {
                                 HandleFeedAnswer(region, reply);
                                 archive_->ArchiveFetch(region, reply.Body());
                             });
}

void Fmain::ShowWaiting() {
    waiting_->setText(Q("等待应答 %1 秒").arg(waitingSince_.elapsed() / 1000));
}

void Fmain::HandleFeedAnswer(int region, const HttpReply& reply) {
    fetchInFlight_ = false;
    waitingTimer_->stop();
    waiting_->hide();
    fetchNow_->setEnabled(true);
    if (region != ctx_->session.RegionCode) {
        // The answer of a region no longer shown is archived, never applied: its draws would be
        // judged against another region's records.
        if (refetchForRegion_) {
            refetchForRegion_ = false;
            FetchDraws();
        }
        return;
    }
    const std::string body = reply.Body();
    if (body.empty()) {
        SetStatus(WithListNote(WithFailureReason(kMsgCannotConnect, reply).toStdString()));
        // A long reason must not push 无法连接 itself out of the box.
        status_->setCursorPosition(0);
    } else {
        SetStatus(kMsgConnected);
        const FeedParse parse = ParseFeedResponse(body, ctx_->session.DrawHistory);
        if (parse.staged) {
            ctx_->session.IncomingDraws = *parse.staged;
            ApplyDraws();
        } else {
            SetStatus(WithListNote(parse.status));
        }
    }
    emit fetchHandled();
}

void Fmain::CountdownTick() {
    const xuan5::CountdownTick tick =
        TickCountdown(ctx_->session.CountdownSeconds, autoUpdate_->isChecked());
    ctx_->session.CountdownSeconds = tick.seconds;
    countdown_->setText(Q(tick.label));
    if (!tick.status.empty()) SetStatus(tick.status);
    if (tick.fetch) FetchDraws();
}

void Fmain::ApplyDraws() {
    // A plan in progress reads the history between its instances, and the pipeline must finish
    // judging one table before the next is applied: the update waits and is applied after them.
    if (pipelineRunning_ || panels_.plan->PlanRunning()) {
        applyPending_ = true;
        return;
    }
    Session& session = ctx_->session;
    const StagedChange change = CompareStaged(session.IncomingDraws, session.DrawHistory);
    // A table already applied is no update; the first table of a region is always taken.
    if (session.HistoryLoaded > 0 && change.kind == StagedChange::Kind::None) {
        SetStatus(WithListNote(kMsgNoUpdate));
        return;
    }
    const Result<ApplyOutcome> outcome =
        ApplyIncomingDraws(session.IncomingDraws, session.UpdateCount, session.HistoryLoaded);
    if (!outcome) {
        ctx_->Show(this, outcome.messages().front());
        return;
    }
    session.Keep(*outcome);
    listStale_ = false;
    ShowDrawList(outcome->drawList, change.kind == StagedChange::Kind::Newer ? change.newRows : 0);
    SetStatus(outcome->status);
    if (outcome->runAfterDrawPipeline) {
        pipelineRunning_ = true;
        // Draws known before with other numbers are judged again first, with the bases and plans
        // they were judged with.
        if (!change.corrected.empty()) {
            panels_.monitor->CorrectDraws(change.corrected);
            panels_.plan->CorrectRecords(change.corrected);
        }
        if (change.kind == StagedChange::Kind::Corrected) {
            // A correction is no new period: nothing more is judged and no plan is issued.
            SetStatus("已更正：" + session.DrawHistory[1].period + "期开奖号码");
            panels_.monitor->RedrawMonitorTable();
            panels_.sort->RefreshSort();
        } else {
            AfterDrawPipeline(*panels_.monitor, *panels_.plan, *panels_.sort, change.newRows);
            ++pipelineRuns_;
        }
        pipelineRunning_ = false;
    }
    ApplyPendingDraws();
}

void Fmain::ApplyPendingDraws() {
    if (pipelineRunning_ || panels_.plan->PlanRunning()) return;
    // Later: the pipeline or plan that made them wait is still on the call stack. The waiting
    // table belongs to the region shown when it came, so it goes before a waiting switch.
    if (applyPending_) {
        applyPending_ = false;
        QTimer::singleShot(0, this, &Fmain::ApplyDraws);
    }
    if (pendingRegion_ != 0) {
        const int index = pendingRegion_ - 1;
        pendingRegion_ = 0;
        QTimer::singleShot(0, this, [this, index] { SelectRegion(index); });
    }
}

void Fmain::OpenManualEntry() {
    if (!ctx_->RequireDraws(this)) return;
    auto* entry = new Fadd(
        ctx_->session.DrawHistory, [this](const DrawRecord& draw) { StageTypedDraw(draw); }, this);
    entry->setAttribute(Qt::WA_DeleteOnClose);
    entry->open();
}

void Fmain::StageTypedDraw(const DrawRecord& draw) {
    ctx_->session.IncomingDraws = xuan5::StageTypedDraw(ctx_->session.DrawHistory, draw);
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

}  // namespace xuan5::ui
