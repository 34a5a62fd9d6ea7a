// The trend line the user draws with the mouse, and its saved-line text.
#pragma once

#include <bitset>
#include <optional>
#include <string>
#include <string_view>

#include "core/result.h"
#include "core/tables.h"
#include "curves/chart.h"

namespace xuan5 {

inline constexpr const char* kMsgCurveIncomplete = "曲线数据不完整，可能被破坏,请重新画线保存";

// Which columns 0..130 of a line got a point from the mouse.
using RecordedColumns = std::bitset<kTrendColumns + 1>;

// The line on the drawing panel and the pen that draws it.
struct TrendDrawing {
    TrendLineTable TrendLine{};
    std::int32_t TrendClickCount = 0;
    std::int32_t PenX = 0;
    std::int32_t PenY = 0;
    RecordedColumns recorded;  // the columns of the line being drawn that got a point
};

// Mouse-down on the chart: starts drawing (returns true; the caller prepares the canvas and
// TrendLine is cleared) or stops it (returns false; the gaps between recorded points are filled).
// The pen is lifted.
bool TrendMouseDown(TrendDrawing& drawing);

// Mouse move while drawing, at column x (already floored) and chart value y. Records the point
// when 0 <= x <= 130 and returns the red segment of width 3 from the previous point, if any.
std::optional<ChartLine> DrawTrendSegment(TrendDrawing& drawing, int x, double y);

// A line whose last point lies at most this many columns before the newest period ends there.
inline constexpr int kTrendEndCarry = 3;

// Gives every column between two recorded points that got none the value of the straight segment
// between the nearest recorded points on either side, rounded half to even (exactly, in integers):
// the segment the screen shows there. Columns before the first recorded point keep 0, and so do
// those after the last, unless it lies within kTrendEndCarry columns before the newest period:
// the line is then carried to the newest period at its last value.
void FillTrendGaps(TrendLineTable& line, const RecordedColumns& recorded);

// Entries 1..120 as decimal integers joined by "*".
std::string SerializeTrendLine(const TrendLineTable& line);

// `line` with entries 1..120 read from a saved-line text (fields past the 120th are ignored;
// columns 0 and 121..130 keep what `line` holds). All or nothing: a missing or bad field fails
// with kMsgCurveIncomplete.
Result<TrendLineTable> ParseTrendLine(std::string_view text, const TrendLineTable& line = {});

// The width-4 red segments that draw a loaded saved-line text: (i-1, field i-1) to (i, field i)
// with the fields as real numbers, so a field of 2.5 is drawn at 2.5 while TrendLine keeps the
// rounded value. Empty when ParseTrendLine refuses the text.
std::vector<ChartLine> SavedLineSegments(std::string_view text);

}  // namespace xuan5
