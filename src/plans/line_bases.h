// The small base of every saved line: the base search run on each stored trend line with that
// line's own wanted size.
#pragma once

#include <array>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "core/app_state.h"
#include "core/messages.h"
#include "curves/base_search.h"
#include "plans/line_intersection.h"

namespace xuan5 {

inline constexpr const char* kMsgChooseRecompute = "请先选择“每期算号”";
inline constexpr const char* kTitleFriendlyNotice = "友情提示";

using LineSizeTexts = std::array<std::string, kLineCount>;

inline LineSizeTexts DefaultLineSizes() {
    LineSizeTexts sizes;
    sizes.fill("230");
    return sizes;
}

struct LineBasesInput {
    bool Op_jiankong_zihui = true;  // "每期算号"; otherwise "保持当前底"
    LineSizeTexts T_quxian_zhushu = DefaultLineSizes();
};

struct LineBasesOutput {
    std::vector<Message> messages;  // in order: the notice, or one per damaged saved line
    // The base and actual count of the last line searched, for Tdadi and T_sj_zhushu; unset
    // when nothing was searched.
    std::optional<std::string> Tdadi;
    std::optional<std::string> T_sj_zhushu;
};

// Recomputes LineBases from the saved lines when "每期算号" is selected; otherwise shows the
// notice and changes nothing. Leaves TrendLine and ProfitSeries as the last line's search left
// them. A damaged saved line is reported and searched on whatever TrendLine holds.
LineBasesOutput ExtractLineBases(const LineBasesInput& input, const LineTexts& savedLines,
                                 AppState& state, std::mt19937_64& rng);

// The saved lines parsed once, for runs that extract the bases many times over unchanged lines.
struct PreparedLines {
    std::array<std::optional<TrendLineTable>, kLineCount> parsed;  // unset when damaged
    std::array<std::optional<Message>, kLineCount> messages;
};

PreparedLines PrepareLines(const LineTexts& curveStoreLines);

struct LineBaseSearch {
    LineBaseSets bases;
    BaseSearchResult last;  // the search of line 15
};

// One extraction in set form, with the same effect on TrendLine and ProfitSeries as
// ExtractLineBases; LineBases is not touched.
LineBaseSearch SearchLineBaseSets(const PreparedLines& lines, const LineSizeTexts& sizes,
                                  AppState& state, std::mt19937_64& rng);

}  // namespace xuan5
