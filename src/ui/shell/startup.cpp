// The start-up sequence of the main window, step by step in its fixed order.
#include <QRadioButton>
#include <QTimer>

#include "store/atomic_file.h"
#include "store/curve_store.h"
#include "ui/draw/draw_panel.h"
#include "ui/monitor/monitor_panel.h"
#include "ui/plan/backup_strip.h"
#include "ui/plan/plan_panel.h"
#include "ui/shell/fmain.h"
#include "ui/sortfilter/sort_panel.h"

namespace xuan5::ui {

bool Fmain::ApplyStartupDefaults() {
    Session& session = ctx_->session;
    panels_.backup->ShowProgressPanel(false);
    RemoveStaleTemporaries(ctx_->StoreFile());

    // The curve store is the one file that must be there; only its readability matters here.
    const Result<LineTexts> store = ReadCurveStoreFile(ctx_->StoreFile());
    session.CurveStoreLines = store ? *store : LineTexts{};
    if (!store) {
        ctx_->ShowStoreBrokenMessages(this);
        return false;
    }

    panels_.monitor->DrawMonitorGrid();
    session.monitor = {};
    panels_.draw->SetLineCountFontSize(7);
    session.Trend.TrendLine = {};
    panels_.monitor->SelectRecomputeEachPeriod();
    session.log = PlanLog{};
    session.LineBases = {};
    // Ticked as clicks, so the count of selected lines shows 15.
    panels_.monitor->TickAllLines();
    panels_.plan->SelectModeOne();
    panels_.sort->DisableVerificationBox();
    panels_.plan->TickAutoPlan();
    panels_.plan->SetLogFontSize(9);
    session.CountdownSeconds = 30;
    session.IncomingDraws = {};
    session.DrawHistory = {};
    typedDrawTimer_->stop();
    regions_[0]->setChecked(true);
    session.RegionCode = 1;

    countdownTimer_->start();
    betsTimer_->start();
    return true;
}

}  // namespace xuan5::ui
