// The process-wide tables, owned by the main window as one value. Names and index ranges are
// those the operations use; element 0 exists and stays empty where the data start at 1.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/bets.h"
#include "core/draw_history.h"

namespace xuan5 {

inline constexpr int kLineCount = 15;
inline constexpr int kTrendColumns = 130;
inline constexpr int kMonitorRows = 21;     // rows 0..21, 1..20 used
inline constexpr int kMonitorColumns = 16;  // columns 0..16

using TrendLineTable = std::array<std::int32_t, kTrendColumns + 1>;
using ProfitSeriesTable = std::array<std::int32_t, kHistoryRows + 1>;
using LineTexts = std::array<std::string, kLineCount>;
using MonitorTable = std::array<std::array<std::int32_t, kMonitorColumns + 1>, kMonitorRows + 1>;

struct AppState {
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
    std::vector<std::string> PlanRecords = std::vector<std::string>(201);
    std::int32_t PlanRecordCount = 0;
    MonitorTable MonitorRecords{};
};

}  // namespace xuan5
