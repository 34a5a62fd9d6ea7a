// The fixed-size tables the operations exchange: index ranges as the rules number them, element 0
// present and empty where the data start at 1.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "core/draw_history.h"

namespace xuan5 {

inline constexpr int kLineCount = 15;
inline constexpr int kTrendColumns = 130;
inline constexpr int kMonitorRows = 21;     // rows 0..21, 1..20 used
inline constexpr int kMonitorColumns = 16;  // columns 0..16

// A trend line: columns 0..130, 1..120 the periods.
using TrendLineTable = std::array<std::int32_t, kTrendColumns + 1>;
// The running profit after each period 1..120.
using ProfitSeriesTable = std::array<std::int32_t, kHistoryRows + 1>;
// One text per line, line k at index k-1: saved lines, line bases.
using LineTexts = std::array<std::string, kLineCount>;
using LineChecks = std::array<bool, kLineCount>;
// The monitor records: rows 0..21 x columns 0..16.
using MonitorTable = std::array<std::array<std::int32_t, kMonitorColumns + 1>, kMonitorRows + 1>;

}  // namespace xuan5
