// The running total of a back-test on the chart surface, drawn the way the profit chart is: a
// blue grid every R/10 with its labels, a red bar where the total rose and a blue one where it
// fell, the red zero axis and the green marker on the newest period.
#pragma once

#include <vector>

#include "backtest/chance.h"
#include "curves/chart.h"

namespace xuan5 {

// The totals of periods 1..N, oldest first, spread over X 0..120 so that a run of any length
// fills the surface; period N stands on the green marker. R is 200 above the largest magnitude
// and never below the canvas's 5000. Unlike the profit chart the newest period counts for the
// range and gets its bar: it is the result the user asked about. A chance band, when given (one
// point per total), is drawn in grey above and below, and the range takes it in.
ChartPicture RunningTotalChart(const std::vector<long long>& totals,
                               const std::vector<BandPoint>& band = {});

}  // namespace xuan5
