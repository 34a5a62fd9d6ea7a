// The small base of every saved line: the base search run on each stored trend line with that
// line's own wanted size.
#pragma once

#include <array>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "core/result.h"
#include "core/tables.h"
#include "curves/base_search.h"
#include "plans/line_intersection.h"

namespace xuan5 {

inline constexpr const char* kMsgChooseRecompute = "请先选择“每期算号”";

using LineSizeTexts = std::array<std::string, kLineCount>;

inline LineSizeTexts DefaultLineSizes() {
    LineSizeTexts sizes;
    sizes.fill("230");
    return sizes;
}

struct LineBasesInput {
    bool searchEveryPeriod = true;  // "每期算号"; otherwise "保持当前底"
    LineSizeTexts lineSizes = DefaultLineSizes();
};

// The LineBases searched, with the notices in order: one per damaged saved line. Unset, with
// the notice of "保持当前底" alone, when nothing was searched: the bases in force stay, which is
// what the user chose, not a failure.
using LineBasesOutput = Outcome<std::optional<LineTexts>>;

// The line bases recomputed from the saved lines when "每期算号" is selected; otherwise only the
// notice. The searches run on a line of their own, never on the drawing: a copy of `trendLine`,
// into which each saved line is read in turn. A damaged saved line is reported and searched on
// whatever that copy holds at its turn (the previous line, or `trendLine` itself).
LineBasesOutput ExtractLineBases(const LineBasesInput& input, const LineTexts& savedLines,
                                 const TrendLineTable& trendLine, const DrawKeyTable& keys,
                                 std::mt19937_64& rng);

// The saved lines parsed once, for runs that extract the bases many times over unchanged lines:
// a line unset where the saved one is damaged, and a notice for each of those in line order.
using PreparedLines = Outcome<std::array<std::optional<TrendLineTable>, kLineCount>>;

PreparedLines PrepareLines(const LineTexts& curveStoreLines);

// One extraction in set form. `line` is the working line: each saved line is copied into it
// before its search (a damaged one leaves it as it is), so it ends holding the last line.
LineBaseSets SearchLineBaseSets(const PreparedLines& lines, const LineSizeTexts& sizes,
                                TrendLineTable& line, const DrawKeyTable& keys,
                                std::mt19937_64& rng);

}  // namespace xuan5
