// What the chart surface shows, in its logical coordinates: X 0..130 (periods 1..120, the
// newest marked at 120), Y profit with the zero axis in the middle, range +R .. -R.
#pragma once

#include <string>
#include <vector>

#include "core/tables.h"

namespace xuan5 {

inline constexpr int kCanvasRange = 5000;
// The X of the newest period, where the green marker stands: the chart is as wide as the history.
inline constexpr int kChartNewestX = kHistoryRows;
inline constexpr const char* kCanvasHint = "绘图的时候，请放慢点鼠标，别太快";

enum class ChartColor { Red, Blue, Green, Gray };

struct ChartLine {
    double x0, y0, x1, y1;
    ChartColor color;
    int width;
};

struct ChartLabel {
    double x, y;  // top-left corner of the text
    std::string text;
    // The value of its grid line, which the surface prints beside the chart rather than on it,
    // fewer of them where they would not fit.
    bool axis = false;
};

struct ChartPicture {
    int range = kCanvasRange;  // R: the surface spans +R (top) to -R (bottom)
    int step = 500;            // grid step
    std::vector<ChartLine> lines;
    std::vector<ChartLabel> labels;
};

// The grid of a picture whose range and step are set: a blue line every step from +R to -R,
// each with its axis label (zero labelled by both halves).
void AddGrid(ChartPicture& picture);

// The labels a surface shows when its grid lines stand `spacingPx` apart and a label needs
// `labelPx`: every label that is not an axis label, and the axis labels of every k-th grid line
// counted from zero, k the smallest of 1, 2, 5, 10, 20, 50 ... that leaves each label its room.
// Zero is shown once.
std::vector<ChartLabel> VisibleLabels(const ChartPicture& picture, double spacingPx,
                                      double labelPx);

// The profit chart of a series: range from the extremes of periods 1..119 (at least 5000),
// grid every R/10, red rising and blue other bars, red zero axis and green newest marker.
ChartPicture DrawProfitChart(const ProfitSeriesTable& series);

// The empty drawing canvas of range 5000 with its grid, labels, axis, marker and hint.
ChartPicture PrepareTrendCanvas();

}  // namespace xuan5
