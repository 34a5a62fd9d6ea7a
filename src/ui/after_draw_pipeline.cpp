#include "ui/after_draw_pipeline.h"

#include "ui/app_context.h"
#include "ui/monitor_panel.h"
#include "ui/panel_links.h"
#include "ui/plan_panel.h"
#include "ui/sort_panel.h"

namespace xuan5::ui {

void AfterDrawPipeline(AppContext& ctx, const PanelLinks& links) {
    // The row and the settlement judge the draw against what was in force before it, so both
    // come before the next plan replaces the bases.
    links.monitor->RecordMonitorRow();
    links.monitor->RedrawMonitorTable();
    if (links.plan->AutoPlanTicked()) {
        links.plan->WriteResultRecord();
        ctx.state.PlanRecordCount += 1;
        links.plan->StartPlan();
    }
    links.sort->RefreshSort();
}

}  // namespace xuan5::ui
