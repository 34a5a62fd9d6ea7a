#include "backtest/backtest_stats.h"

#include <algorithm>
#include <numeric>

#include "core/draw_history.h"
#include "curves/profit_curve.h"

namespace xuan5 {

long long PeriodProfit(bool hit, int planSize) {
    return (hit ? kPrize : 0) - static_cast<long long>(kStake) * planSize;
}

void FillRunningTotals(std::vector<BacktestRow>& rows) {
    long long total = 0;
    for (BacktestRow& row : rows) {
        row.profit = PeriodProfit(row.hit, row.planSize);
        total += row.profit;
        row.total = total;
    }
}

BacktestSummary SummarizeBacktest(const std::vector<BacktestRow>& rows) {
    BacktestSummary summary;
    summary.periods = static_cast<int>(rows.size());
    if (rows.empty()) return summary;
    long long peak = 0;
    long long sizes = 0;
    int missRun = 0;
    for (const BacktestRow& row : rows) {
        if (row.hit) {
            ++summary.hits;
            missRun = 0;
        } else {
            summary.longestMissRun = std::max(summary.longestMissRun, ++missRun);
        }
        sizes += row.planSize;
        peak = std::max(peak, row.total);
        summary.largestDrawdown = std::max(summary.largestDrawdown, peak - row.total);
    }
    summary.total = rows.back().total;
    summary.hitRate = static_cast<double>(summary.hits) / summary.periods;
    summary.averagePlanSize = static_cast<double>(sizes) / summary.periods;
    return summary;
}

std::array<LineRecord, kLineCount> LineRecords(const std::vector<BacktestRow>& rows) {
    std::array<LineRecord, kLineCount> lines{};
    for (int k = 0; k < kLineCount; ++k) {
        LineRecord& line = lines[k];
        for (const BacktestRow& row : rows) {
            if (row.lineHits[k]) {
                ++line.hits;
                line.currentMissRun = 0;
            } else {
                line.longestMissRun = std::max(line.longestMissRun, ++line.currentMissRun);
            }
        }
        if (!rows.empty()) line.hitRate = static_cast<double>(line.hits) / rows.size();
    }
    return lines;
}

TotalsSpread SpreadOfTotals(std::vector<long long> totals) {
    TotalsSpread spread;
    if (totals.empty()) return spread;
    std::sort(totals.begin(), totals.end());
    spread.min = totals.front();
    spread.max = totals.back();
    spread.mean = std::accumulate(totals.begin(), totals.end(), 0.0) / totals.size();
    const std::size_t mid = totals.size() / 2;
    spread.median = totals.size() % 2 ? static_cast<double>(totals[mid])
                                      : (static_cast<double>(totals[mid - 1]) + totals[mid]) / 2;
    return spread;
}

OmissionTable NumberOmissions(const std::vector<DatedDraw>& archive) {
    OmissionTable table{};
    const std::size_t count = std::min(archive.size(), static_cast<std::size_t>(kOmissionWindow));
    for (std::size_t i = archive.size() - count; i < archive.size(); ++i) {
        const std::string& numbers = archive[i].numbers;
        unsigned drawn = 0;
        if (IsValidDrawNumbers(numbers)) {
            for (int k = 0; k < 5; ++k) {
                drawn |= 1u << ((numbers[k * 3] - '0') * 10 + (numbers[k * 3 + 1] - '0'));
            }
        }
        for (int n = 1; n <= 11; ++n) {
            NumberOmission& number = table[n];
            if (drawn & (1u << n)) {
                ++number.frequency;
                number.current = 0;
            } else {
                number.largest = std::max(number.largest, ++number.current);
            }
        }
    }
    return table;
}

}  // namespace xuan5
