#include "plans/line_bases.h"

#include <algorithm>

#include "curves/trend_line.h"

namespace xuan5 {

PreparedLines PrepareLines(const LineTexts& curveStoreLines) {
    PreparedLines prepared;
    for (int i = 0; i < kLineCount; ++i) {
        Result<TrendLineTable> line = ParseTrendLine(curveStoreLines[i]);
        if (line) {
            prepared.value[i] = *line;
        } else {
            prepared.notices.push_back(line.messages().front());
        }
    }
    return prepared;
}

LineBaseSets SearchLineBaseSets(const PreparedLines& lines, const LineSizeTexts& sizes,
                                TrendLineTable& line, const DrawKeyTable& keys,
                                std::mt19937_64& rng) {
    LineBaseSets out;
    for (int i = 0; i < kLineCount; ++i) {
        // A parse sets entries 1..120 only; a damaged line leaves the previous values in place.
        if (const auto& parsed = lines.value[i]) {
            std::copy(parsed->begin() + 1, parsed->begin() + kHistoryRows + 1, line.begin() + 1);
        }
        out[i] = SearchBaseForLine(sizes[i], line, keys, rng).bets;
    }
    return out;
}

LineBasesOutput ExtractLineBases(const LineBasesInput& input, const LineTexts& savedLines,
                                 const TrendLineTable& trendLine, const DrawKeyTable& keys,
                                 std::mt19937_64& rng) {
    LineBasesOutput out;
    if (!input.searchEveryPeriod) {
        out.notices.push_back({kMsgChooseRecompute, kTitleFriendlyNotice, Message::Kind::Notice});
        return out;
    }
    const PreparedLines lines = PrepareLines(savedLines);
    out.notices = lines.notices;
    TrendLineTable line = trendLine;
    const LineBaseSets sets = SearchLineBaseSets(lines, input.lineSizes, line, keys, rng);
    LineTexts bases;
    for (int i = 0; i < kLineCount; ++i) bases[i] = RenderBetSet(sets[i], " ");
    out.value = std::move(bases);
    return out;
}

}  // namespace xuan5
