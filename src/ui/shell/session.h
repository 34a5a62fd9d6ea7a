// The tables of one running window. The session owns them all; the comment beside each names the
// code that writes it, and everything else only reads it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/bets.h"
#include "core/draw_history.h"
#include "core/tables.h"
#include "core/update_step.h"
#include "curves/trend_line.h"
#include "plans/plan_log.h"
#include "plans/plan_modes.h"

namespace xuan5::ui {

struct Session {
    DrawTable DrawHistory{};             // Keep(ApplyOutcome): the update step
    DrawTable IncomingDraws{};           // Fmain: a fetch, a typed draw, the archive's table
    DrawSeriesTable DrawSeries{};        // Keep(ApplyOutcome)
    DrawKeyTable DrawKeys{};             // Keep(ApplyOutcome)
    AllBetsTable AllBets{};              // Fmain::BuildBets
    std::int32_t UpdateCount = 0;        // Keep(ApplyOutcome)
    std::int32_t HistoryLoaded = 0;      // Keep(ApplyOutcome)
    std::int32_t RegionCode = 1;         // Fmain::SelectRegion
    std::int32_t CountdownSeconds = 30;  // Fmain::CountdownTick
    LineTexts CurveStoreLines{};       // reads and saves of the curve store (drawing, plan panels)
    ProfitSeriesTable ProfitSeries{};  // DrawPanel's search and "K"; Keep(PlanRunOutput)
    TrendDrawing Trend;                // DrawPanel (the mouse, loading a line); Keep(PlanRunOutput)
    LineTexts LineBases{};             // Keep(PlanRunOutput)
    std::vector<std::string> InstanceBases;  // Keep(PlanRunOutput), 0..X with element 0 empty
    PlanLog log;                             // PlanPanel: records, the counter, "清空计划"
    MonitorTable MonitorRecords{};           // MonitorPanel

    // What a plan run reads of these tables.
    PlanTables PlanInputs() const {
        return {DrawHistory, DrawKeys, LineBases, Trend.TrendLine, log};
    }

    // The history as the update step leaves it.
    void Keep(const ApplyOutcome& applied);
    // What a plan run leaves: the recomputed line bases and instance plans, the trend line and
    // projection of its last search, and its pending record.
    void Keep(const PlanRunOutput& run);
};

}  // namespace xuan5::ui
