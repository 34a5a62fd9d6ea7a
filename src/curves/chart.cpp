#include "curves/chart.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace xuan5 {
void AddGrid(ChartPicture& picture) {
    // In 64 bits: one step past a range near the int limit would overflow.
    const long long r = picture.range;
    const long long step = std::max(picture.step, 1);
    for (int sign : {1, -1}) {
        for (long long y = 0; y <= r; y += step) {
            const double at = static_cast<double>(sign * y);
            picture.lines.push_back({0, at, kChartNewestX, at, ChartColor::Blue, 1});
            picture.labels.push_back({1, at, std::to_string(sign * y), true});
        }
    }
}

namespace {

// Every how many grid lines an axis label fits; 0 when not even one does.
long long LabelStride(double spacingPx, double labelPx) {
    for (long long factor = 1; factor <= 1'000'000'000; factor *= 10) {
        for (long long k : {1, 2, 5}) {
            if (static_cast<double>(k * factor) * spacingPx >= labelPx) return k * factor;
        }
    }
    return 0;
}

}  // namespace

std::vector<ChartLabel> VisibleLabels(const ChartPicture& picture, double spacingPx,
                                      double labelPx) {
    const long long stride = LabelStride(spacingPx, labelPx);
    const double step = std::max(picture.step, 1);
    std::vector<ChartLabel> shown;
    bool zeroShown = false;
    for (const ChartLabel& label : picture.labels) {
        if (label.axis) {
            const long long line = std::llround(std::abs(label.y) / step);
            if (stride == 0 || line % stride != 0) continue;
            if (line == 0 && std::exchange(zeroShown, true)) continue;
        }
        shown.push_back(label);
    }
    return shown;
}

ChartPicture DrawProfitChart(const ProfitSeriesTable& series) {
    // The newest period takes no part in the extremes, and both start at 0 so the zero axis is
    // always inside the range.
    long long maxValue = 0;
    long long minValue = 0;
    for (int i = 1; i < kChartNewestX; ++i) {
        maxValue = std::max<long long>(maxValue, series[i]);
        minValue = std::min<long long>(minValue, series[i]);
    }
    long long range = maxValue > -minValue ? 200 + maxValue : 200 - minValue;
    range = std::clamp<long long>(range, kCanvasRange, 2'000'000'000);
    ChartPicture picture;
    picture.range = static_cast<int>(range);
    picture.step = picture.range / 10;
    AddGrid(picture);
    for (int i = 1; i < kChartNewestX; ++i) {
        const bool rise = series[i] > series[i - 1];
        picture.lines.push_back({double(i), double(series[i]), double(i), double(series[i - 1]),
                                 rise ? ChartColor::Red : ChartColor::Blue, 2});
    }
    picture.lines.push_back({0, 0, kChartNewestX, 0, ChartColor::Red, 2});
    picture.lines.push_back({kChartNewestX, double(-picture.range), kChartNewestX,
                             double(picture.range), ChartColor::Green, 2});
    return picture;
}

ChartPicture PrepareTrendCanvas() {
    ChartPicture picture;
    picture.range = kCanvasRange;
    picture.step = kCanvasRange / 10;
    picture.lines.push_back({0, 0, kChartNewestX, 0, ChartColor::Red, 2});
    AddGrid(picture);
    picture.lines.push_back({kChartNewestX, double(-kCanvasRange), kChartNewestX,
                             double(kCanvasRange), ChartColor::Green, 1});
    picture.labels.push_back({40, 730, kCanvasHint});
    return picture;
}

}  // namespace xuan5
