// What follows every applied draw table from the second one on: the newest draw is judged
// against the bases and the plan in force before it, then the next period is prepared.
#pragma once

namespace xuan5::ui {

class MonitorPanel;
class PlanPanel;
class SortPanel;

// After rows 1..newRows of the history arrived, in this order: one monitor row per new draw,
// oldest first, and the table's repaint; with "自动计划" ticked the pending plan record settled
// with the draw of its period, PlanRecordCount advanced and one plan issued, for the period after
// the newest; last "刷新排序". Runs to its end before it returns (plan mode one processes events
// between its instances, so the caller keeps further updates waiting until then).
void AfterDrawPipeline(MonitorPanel& monitor, PlanPanel& plan, SortPanel& sort, int newRows);

}  // namespace xuan5::ui
