// What follows every applied draw table from the second one on: the newest draw is judged
// against the bases and the plan in force before it, then the next period is prepared.
#pragma once

namespace xuan5::ui {

class MonitorPanel;
class PlanPanel;
class SortPanel;

// In this order: the monitor row and its repaint; with "自动计划" ticked the pending plan record
// settled, PlanRecordCount advanced and the next plan issued; last "刷新排序". Runs to its end
// before it returns (plan mode one processes events between its instances, so the caller keeps
// further updates waiting until then).
void AfterDrawPipeline(MonitorPanel& monitor, PlanPanel& plan, SortPanel& sort);

}  // namespace xuan5::ui
