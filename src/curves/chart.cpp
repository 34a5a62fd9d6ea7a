#include "curves/chart.h"

#include <algorithm>

namespace xuan5 {
namespace {

void AddGrid(ChartPicture& picture) {
    const int r = picture.range;
    const int step = picture.step;
    for (int y = 0; y <= r; y += step) {
        picture.lines.push_back({0, double(y), 120, double(y), ChartColor::Blue, 1});
        picture.labels.push_back({1, double(y), std::to_string(y)});
    }
    for (int y = 0; y >= -r; y -= step) {
        picture.lines.push_back({0, double(y), 120, double(y), ChartColor::Blue, 1});
        picture.labels.push_back({1, double(y), std::to_string(y)});
    }
}

}  // namespace

ChartPicture DrawProfitChart(const ProfitSeriesTable& series) {
    // The newest period takes no part in the extremes, and both start at 0 so the zero axis is
    // always inside the range.
    long long maxValue = 0;
    long long minValue = 0;
    for (int i = 1; i <= 119; ++i) {
        maxValue = std::max<long long>(maxValue, series[i]);
        minValue = std::min<long long>(minValue, series[i]);
    }
    long long range = maxValue > -minValue ? 200 + maxValue : 200 - minValue;
    range = std::clamp<long long>(range, kCanvasRange, 2'000'000'000);
    ChartPicture picture;
    picture.range = static_cast<int>(range);
    picture.step = picture.range / 10;
    AddGrid(picture);
    for (int i = 1; i <= 119; ++i) {
        const bool rise = series[i] > series[i - 1];
        picture.lines.push_back({double(i), double(series[i]), double(i), double(series[i - 1]),
                                 rise ? ChartColor::Red : ChartColor::Blue, 2});
    }
    picture.lines.push_back({0, 0, 120, 0, ChartColor::Red, 2});
    picture.lines.push_back(
        {120, double(-picture.range), 120, double(picture.range), ChartColor::Green, 2});
    return picture;
}

ChartPicture PrepareTrendCanvas() {
    ChartPicture picture;
    picture.range = kCanvasRange;
    picture.step = kCanvasRange / 10;
    picture.lines.push_back({0, 0, 120, 0, ChartColor::Red, 2});
    AddGrid(picture);
    picture.lines.push_back(
        {120, double(-kCanvasRange), 120, double(kCanvasRange), ChartColor::Green, 1});
    picture.labels.push_back({40, 730, kCanvasHint});
    return picture;
}

}  // namespace xuan5
