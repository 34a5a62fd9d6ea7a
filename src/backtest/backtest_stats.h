// Figures over a back-test: the per-period table's running totals and summary, each line's
// record, the spread of totals over several seeds, and the omissions of the eleven numbers.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "core/dated_draw.h"
#include "core/tables.h"

namespace xuan5 {

// One tested period: the plan made from the 120 draws before it, judged against its draw.
struct BacktestRow {
    std::size_t archiveIndex = 0;  // position of the period's draw in the archive, oldest 0
    std::string period;            // "045"
    std::string date;              // "YYYY-MM-DD"
    int planSize = 0;
    std::string numbers;  // as received
    bool hit = false;     // the plan base holds the period's draw key
    long long profit = 0;
    long long total = 0;    // running total up to this period
    LineChecks lineHits{};  // whether the small base of line k+1 in force held the draw
    std::string record;     // the completed plan log record of the period
    std::string tally;      // the hit tally line of the period
    friend bool operator==(const BacktestRow&, const BacktestRow&) = default;
};

// +924 for a hit, -2 for every bet of the plan: the profit curve's rule.
long long PeriodProfit(bool hit, int planSize);

// Sets profit and total of every row in order.
void FillRunningTotals(std::vector<BacktestRow>& rows);

struct BacktestSummary {
    int periods = 0;
    int hits = 0;
    double hitRate = 0;  // hits / periods, 0 without periods
    long long total = 0;
    // The deepest fall of the running total below its highest value so far, the start (0)
    // counting as a high.
    long long largestDrawdown = 0;
    int longestMissRun = 0;
    double averagePlanSize = 0;
    friend bool operator==(const BacktestSummary&, const BacktestSummary&) = default;
};

// Reads hit, planSize and total of the rows (FillRunningTotals first).
BacktestSummary SummarizeBacktest(const std::vector<BacktestRow>& rows);

struct LineRecord {
    int hits = 0;
    double hitRate = 0;
    int longestMissRun = 0;
    int currentMissRun = 0;  // misses since the last hit, up to the newest period
    friend bool operator==(const LineRecord&, const LineRecord&) = default;
};

// Element k is line k+1.
std::array<LineRecord, kLineCount> LineRecords(const std::vector<BacktestRow>& rows);

struct TotalsSpread {
    long long min = 0;
    long long max = 0;
    double mean = 0;
    double median = 0;  // the mean of the two middle totals for an even count
    friend bool operator==(const TotalsSpread&, const TotalsSpread&) = default;
};

TotalsSpread SpreadOfTotals(std::vector<long long> totals);

inline constexpr int kOmissionWindow = 120;

struct NumberOmission {
    int current = 0;    // periods since the number last came, up to the newest
    int largest = 0;    // longest run of periods without it inside the window
    int frequency = 0;  // periods of the window that drew it
    friend bool operator==(const NumberOmission&, const NumberOmission&) = default;
};

// Elements 1..11 for the numbers 01..11, element 0 unused; over the newest kOmissionWindow
// draws of the archive (oldest first), or all of them when there are fewer. Draws that are no
// valid draw hold no number.
using OmissionTable = std::array<NumberOmission, 12>;

OmissionTable NumberOmissions(const std::vector<DatedDraw>& archive);

}  // namespace xuan5
