#include "backtest/backtest_chart.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace xuan5 {
namespace {

// The surface keeps its range in an int; a total beyond it could only come from a corrupt run.
constexpr long long kLargestRange = 2'000'000'000;

}  // namespace

ChartPicture RunningTotalChart(const std::vector<long long>& totals,
                               const std::vector<BandPoint>& band) {
    long long largest = 0;
    for (long long total : totals) largest = std::max(largest, total < 0 ? -total : total);
    const bool banded = band.size() == totals.size();
    if (banded) {
        for (const BandPoint& point : band) {
            const double edge = std::max(std::abs(point.low), std::abs(point.high));
            largest = std::max(largest, static_cast<long long>(std::min(std::ceil(edge), 1e12)));
        }
    }
    ChartPicture picture;
    picture.range =
        static_cast<int>(std::clamp<long long>(200 + largest, kCanvasRange, kLargestRange));
    picture.step = picture.range / 10;
    AddGrid(picture);
    const double width =
        double(kChartNewestX) / static_cast<double>(std::max<std::size_t>(totals.size(), 1));
    long long before = 0;
    for (std::size_t i = 0; i < totals.size(); ++i) {
        const double x = width * static_cast<double>(i + 1);
        picture.lines.push_back({x, static_cast<double>(totals[i]), x, static_cast<double>(before),
                                 totals[i] > before ? ChartColor::Red : ChartColor::Blue, 2});
        before = totals[i];
    }
    if (banded) {
        // The band starts at zero spread before the first period.
        BandPoint last{0, 0};
        for (std::size_t i = 0; i < band.size(); ++i) {
            const double x0 = width * static_cast<double>(i);
            const double x1 = width * static_cast<double>(i + 1);
            picture.lines.push_back({x0, last.high, x1, band[i].high, ChartColor::Gray, 1});
            picture.lines.push_back({x0, last.low, x1, band[i].low, ChartColor::Gray, 1});
            last = band[i];
        }
    }
    picture.lines.push_back({0, 0, kChartNewestX, 0, ChartColor::Red, 2});
    picture.lines.push_back({kChartNewestX, static_cast<double>(-picture.range), kChartNewestX,
                             static_cast<double>(picture.range), ChartColor::Green, 2});
    return picture;
}

}  // namespace xuan5
