#include "ui/shell/session.h"

namespace xuan5::ui {

void Session::Keep(const ApplyOutcome& applied) {
    DrawHistory = applied.DrawHistory;
    DrawSeries = applied.DrawSeries;
    DrawKeys = applied.DrawKeys;
    UpdateCount = applied.UpdateCount;
    HistoryLoaded = applied.HistoryLoaded;
}

void Session::Keep(const PlanRunOutput& run) {
    if (run.LineBases) LineBases = *run.LineBases;
    if (run.InstanceBases) InstanceBases = *run.InstanceBases;
    if (run.trace) {
        Trend.TrendLine = run.trace->TrendLine;
        ProfitSeries = run.trace->ProfitSeries;
    }
    if (run.log) StorePlanRecord(log, run.log->record);
}

}  // namespace xuan5::ui
