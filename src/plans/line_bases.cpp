#include "plans/line_bases.h"

#include <algorithm>

#include "curves/trend_line.h"

namespace xuan5 {

PreparedLines PrepareLines(const LineTexts& curveStoreLines) {
    PreparedLines prepared;
    for (int i = 0; i < kLineCount; ++i) {
        TrendLineTable line{};
        if (auto message = ParseTrendLine(curveStoreLines[i], line)) {
            prepared.messages[i] = std::move(message);
        } else {
            prepared.parsed[i] = line;
        }
    }
    return prepared;
}

LineBaseSearch SearchLineBaseSets(const PreparedLines& lines, const LineSizeTexts& sizes,
                                  AppState& state, std::mt19937_64& rng) {
    LineBaseSearch out;
    for (int i = 0; i < kLineCount; ++i) {
        // A parse sets entries 1..120 only; a damaged line leaves the previous values in place.
        if (const auto& parsed = lines.parsed[i]) {
            std::copy(parsed->begin() + 1, parsed->begin() + kHistoryRows + 1,
                      state.TrendLine.begin() + 1);
        }
        out.last = SearchBaseForLine(sizes[i], state.TrendLine, state.DrawKeys, rng);
        out.bases[i] = out.last.bets;
    }
    state.ProfitSeries = out.last.projection;
    return out;
}

LineBasesOutput ExtractLineBases(const LineBasesInput& input, const LineTexts& savedLines,
                                 AppState& state, std::mt19937_64& rng) {
    LineBasesOutput out;
    if (!input.Op_jiankong_zihui) {
        out.messages.push_back({kMsgChooseRecompute, kTitleFriendlyNotice});
        return out;
    }
    const PreparedLines lines = PrepareLines(savedLines);
    for (const auto& message : lines.messages) {
        if (message) out.messages.push_back(*message);
    }
    const LineBaseSearch search = SearchLineBaseSets(lines, input.T_quxian_zhushu, state, rng);
    for (int i = 0; i < kLineCount; ++i) state.LineBases[i] = RenderBetSet(search.bases[i], " ");
    out.Tdadi = state.LineBases[kLineCount - 1];
    out.T_sj_zhushu = std::to_string(search.last.actualCount);
    return out;
}

}  // namespace xuan5
