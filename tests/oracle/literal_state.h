// The process-wide tables as the rules are written: one value holding every table, which the
// literal algorithms read and write directly. The engine takes its tables one by one instead;
// tests keep a LiteralState to run both on the same data and compare.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/bets.h"
#include "core/draw_history.h"
#include "core/tables.h"
#include "core/update_step.h"
#include "plans/plan_log.h"

namespace xuan5 {

struct LiteralState {
    DrawTable DrawHistory{};
    DrawTable IncomingDraws{};
    DrawSeriesTable DrawSeries{};
    DrawKeyTable DrawKeys{};  // DrawSeries as bet numbers, rebuilt with it
    AllBetsTable AllBets{};
    std::int32_t UpdateCount = 0;
    std::int32_t HistoryLoaded = 0;
    std::int32_t RegionCode = 1;
    std::int32_t CountdownSeconds = 30;
    LineTexts CurveStoreLines{};
    ProfitSeriesTable ProfitSeries{};
    TrendLineTable TrendLine{};
    std::int32_t TrendClickCount = 0;
    std::int32_t PenX = 0;
    std::int32_t PenY = 0;
    LineTexts LineBases{};
    std::vector<std::string> InstanceBases;  // 0..X, element 0 empty
    PlanLog log;                             // PlanRecords and PlanRecordCount
    MonitorTable MonitorRecords{};
};

// The update step on the state's staged table, its tables kept as the window keeps them. False
// when nothing was applied.
inline bool ApplyStaged(LiteralState& state) {
    Result<ApplyOutcome> applied =
        ApplyIncomingDraws(state.IncomingDraws, state.UpdateCount, state.HistoryLoaded);
    if (!applied) return false;
    state.DrawHistory = applied->DrawHistory;
    state.DrawSeries = applied->DrawSeries;
    state.DrawKeys = applied->DrawKeys;
    state.UpdateCount = applied->UpdateCount;
    state.HistoryLoaded = applied->HistoryLoaded;
    return true;
}

}  // namespace xuan5
