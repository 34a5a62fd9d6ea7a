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

// Whose draw a row of the table is and the bases it was judged against, kept beside the table so
// that a corrected draw can be judged again.
struct MonitorRowOrigin {
    int region = 0;
    std::string period;
    std::string date;  // empty when the draw came without one
    LineBaseSets bases{};
};

// The monitor records with the origin of each row (same rows 0..21).
struct MonitorLog {
    MonitorTable MonitorRecords{};
    std::array<MonitorRowOrigin, kMonitorRows + 1> origins{};
};

// The records with a draw (`key` its bet number) judged against the line bases in force: in the
// first free row of 1..20, or in row 20 after scrolling the table up by one row when all are
// used.
MonitorLog RecordMonitorRow(MonitorLog log, const DrawRecord& draw, int key,
                            const LineBaseSets& lineBases, int region);

// Every used row of the region's draw of `draw.period` (and its date, when both are known)
// judged again with the corrected draw against the bases it was judged with.
MonitorLog CorrectMonitorRows(MonitorLog log, const DrawRecord& draw, int key, int region);

// The empty grid with the heading row.
MonitorPicture DrawMonitorGrid();

// One cell text: kind 1 prints "中" for 1 and "*" otherwise, kind 0 prints the value as given.
ChartLabel DrawMonitorCell(double x, double y, const std::string& value, int kind);

// The grid and the used rows, stopping at the first free one.
MonitorPicture RedrawMonitorTable(const MonitorTable& records);

// The number of checked line boxes, for T_jiankong_15di_geshu.
std::string CountSelectedLines(const LineChecks& checked);

}  // namespace xuan5
