// The start-up sequence of the main window, step by step in its fixed order.
#include <QRadioButton>
#include <QTimer>

#include "ui/backup_strip.h"
#include "ui/draw_panel.h"
#include "ui/fmain.h"
#include "ui/monitor_panel.h"
#include "ui/plan_panel.h"
#include "ui/sort_panel.h"
#include "util/atomic_file.h"

namespace xuan5::ui {

bool Fmain::ApplyStartupDefaults() {
    AppState& state = ctx_->state;
    links_.backup->ShowProgressPanel(false);
    RemoveStaleTemporaries(ctx_->StoreFile());

    // The curve store is the one file that must be there; only its readability matters here.
    if (!ReadCurveStoreGuarded(state, ctx_->StoreFile(), 1)) {
        ctx_->ShowStoreBrokenMessages(this);
        return false;
    }

    links_.monitor->DrawMonitorGrid();
    state.MonitorRecords = {};
    links_.draw->SetLineCountFontSize(7);
    state.TrendLine = {};
    links_.monitor->SelectRecomputeEachPeriod();
    state.PlanRecords.assign(201, std::string());
    state.LineBases = {};
    // Ticked as clicks, so the count of selected lines shows 15.
    links_.monitor->TickAllLines();
    links_.plan->SelectModeOne();
    links_.sort->DisableVerificationBox();
    links_.plan->TickAutoPlan();
    links_.plan->SetLogFontSize(9);
    state.CountdownSeconds = 30;
    state.IncomingDraws = {};
    state.DrawHistory = {};
    typedDrawTimer_->stop();
    regions_[0]->setChecked(true);
    state.RegionCode = 1;

    countdownTimer_->start();
    betsTimer_->start();
    return true;
}

}  // namespace xuan5::ui
