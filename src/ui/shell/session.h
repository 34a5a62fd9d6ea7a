// The tables of one running window. The session owns them all; the comment beside each names the
// code that writes it, and everything else only reads it. What belongs to a region (its draws,
// its staged table, the small bases and records made on them) is kept per region: the shown
// region's book is the session itself, the others are parked until their region is shown again.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/bets.h"
#include "core/draw_history.h"
#include "core/tables.h"
#include "core/update_step.h"
#include "curves/trend_line.h"
#include "plans/monitor.h"
#include "plans/plan_log.h"
#include "plans/plan_modes.h"
#include "protocol/endpoints.h"

namespace xuan5::ui {

struct RegionBook {
    DrawTable DrawHistory{};         // Keep(ApplyOutcome): the update step
    DrawTable IncomingDraws{};       // Fmain: a fetch, a typed draw, the archive's table
    DrawSeriesTable DrawSeries{};    // Keep(ApplyOutcome)
    DrawKeyTable DrawKeys{};         // Keep(ApplyOutcome)
    std::int32_t UpdateCount = 0;    // Keep(ApplyOutcome)
    std::int32_t HistoryLoaded = 0;  // Keep(ApplyOutcome); 0 again when the region is shown anew
    LineTexts LineBases{};           // Keep(PlanRunOutput)
    std::vector<std::string> InstanceBases;  // Keep(PlanRunOutput), 0..X with element 0 empty
    PlanLog log;                             // PlanPanel: records, the counter, "清空计划"
    MonitorLog monitor;                      // MonitorPanel
};

struct Session : RegionBook {
    AllBetsTable AllBets{};              // Fmain::BuildBets
    std::int32_t RegionCode = 1;         // SwitchRegion
    std::int32_t CountdownSeconds = 30;  // Fmain::CountdownTick
    LineTexts CurveStoreLines{};       // reads and saves of the curve store (drawing, plan panels)
    ProfitSeriesTable ProfitSeries{};  // DrawPanel: its search and "K"
    TrendDrawing Trend;                // DrawPanel: the mouse and loading a line, nothing else

    // What a plan run reads of these tables.
    PlanTables PlanInputs() const {
        return {DrawHistory, DrawKeys, LineBases, Trend.TrendLine, log};
    }

    // The history as the update step leaves it.
    void Keep(const ApplyOutcome& applied);
    // What a plan run leaves: the recomputed line bases and instance plans. Its pending record is
    // stored by the plan panel, which adds what it is judged with.
    void Keep(const PlanRunOutput& run);

    // Parks the shown region's book and shows `region`'s, whose next table is a first load: the
    // draws that came while it was parked are not judged.
    void SwitchRegion(int region);

  private:
    std::array<RegionBook, kRegionCount + 1> parked_{};
};

}  // namespace xuan5::ui
