// The back-test's tables as CSV texts for a spreadsheet: the notes of what was tested, a header
// row, one line per period, CR LF line ends, fields quoted where they hold a comma, a quote or
// a line break.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "backtest/backtest_stats.h"

namespace xuan5 {

inline constexpr const char* kBacktestCsvHeader = "期号,日期,注数,开奖号码,结果,盈亏,累计";
inline constexpr const char* kPlanLogCsvHeader = "期号,日期,计划记录,命中统计";
inline constexpr const char* kBacktestHitWord = "中";
inline constexpr const char* kBacktestMissWord = "未中";

// A field as CSV writes it: quoted, with its quotes doubled, when it needs to be.
std::string CsvField(std::string_view text);

// Period, date, plan size, drawn numbers, hit or miss, profit, running total; after the notes
// of what the run tested.
std::string BacktestTableCsv(const std::vector<BacktestRow>& rows,
                             const std::vector<std::string>& notes = {});

// Period, date, the completed plan log record and the hit tally of each period; after the
// notes of what the run tested.
std::string PlanLogCsv(const std::vector<BacktestRow>& rows,
                       const std::vector<std::string>& notes = {});

}  // namespace xuan5
