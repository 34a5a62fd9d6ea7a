// The monitor table: for the last twenty draws, which line bases held the draw; and what its
// picture shows, as data the window paints.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "core/bets.h"
#include "core/draw_history.h"
#include "core/tables.h"
#include "curves/chart.h"
#include "plans/line_intersection.h"

namespace xuan5 {

// The picture's own scale: x 0 (left) .. 17 (right), y 21 (top) .. 0 (bottom).
inline constexpr double kMonitorWidth = 17;
inline constexpr double kMonitorHeight = 21;
inline constexpr int kMonitorUsedRows = 20;
inline constexpr int kMonitorPeriodColumn = 15;
inline constexpr int kMonitorUsedColumn = 16;
inline constexpr const char* kMonitorHeading = "开奖期数";
inline constexpr const char* kMonitorHit = "中";
inline constexpr const char* kMonitorMiss = "*";

// Lines are pure blue (red 0, green 0, blue 255); texts are placed by their top-left corner.
struct MonitorPicture {
    std::vector<ChartLine> lines;
    std::vector<ChartLabel> texts;
};

// The empty grid with the heading row.
MonitorPicture DrawMonitorGrid();

// One cell text: kind 1 prints "中" for 1 and "*" otherwise, kind 0 prints the value as given.
ChartLabel DrawMonitorCell(double x, double y, const std::string& value, int kind);

// The grid and the used rows, stopping at the first free one; a mark below 0 (no base was in
// force) leaves its cell blank.
MonitorPicture RedrawMonitorTable(const MonitorTable& records);

// The number of checked line boxes, shown beside the line boxes.
std::string CountSelectedLines(const LineChecks& checked);

}  // namespace xuan5
