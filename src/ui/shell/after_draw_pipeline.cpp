#include "ui/shell/after_draw_pipeline.h"

#include "ui/monitor/monitor_panel.h"
#include "ui/plan/plan_panel.h"
#include "ui/sortfilter/sort_panel.h"

namespace xuan5::ui {

void AfterDrawPipeline(MonitorPanel& monitor, PlanPanel& plan, SortPanel& sort, int newRows) {
    // The rows and the settlement judge the draws against what was in force before them (no plan
    // ran between them), so both come before the next plan replaces the bases.
    monitor.RecordNewDraws(newRows);
    monitor.RedrawMonitorTable();
    if (plan.AutoPlanTicked()) {
        plan.SettlePendingRecord(newRows);
        plan.AdvanceRecordCount();
        plan.StartPlan();
    }
    sort.RefreshSort();
}

}  // namespace xuan5::ui
