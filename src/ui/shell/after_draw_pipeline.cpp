#include "ui/shell/after_draw_pipeline.h"

#include "ui/monitor/monitor_panel.h"
#include "ui/plan/plan_panel.h"
#include "ui/sortfilter/sort_panel.h"

namespace xuan5::ui {

void AfterDrawPipeline(MonitorPanel& monitor, PlanPanel& plan, SortPanel& sort) {
    // The row and the settlement judge the draw against what was in force before it, so both
    // come before the next plan replaces the bases.
    monitor.RecordMonitorRow();
    monitor.RedrawMonitorTable();
    if (plan.AutoPlanTicked()) {
        plan.WriteResultRecord();
        plan.AdvanceRecordCount();
        plan.StartPlan();
    }
    sort.RefreshSort();
}

}  // namespace xuan5::ui
