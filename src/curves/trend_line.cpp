#include "curves/trend_line.h"

#include <algorithm>
#include <limits>

#include "core/text.h"

namespace xuan5 {
namespace {

std::int32_t RoundToInt32(double value) {
    constexpr double lo = std::numeric_limits<std::int32_t>::min();
    constexpr double hi = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(std::clamp(RoundHalfEven(value), lo, hi));
}

}  // namespace

bool TrendMouseDown(AppState& state) {
    state.TrendClickCount += 1;
    const bool started = state.TrendClickCount == 1;
    if (started) {
        state.TrendLine = TrendLineTable{};
    } else {
        state.TrendClickCount = 0;
        FillTrendGaps(state.TrendLine);
    }
    state.PenX = 0;
    state.PenY = 0;
    return started;
}

std::optional<ChartLine> DrawTrendSegment(AppState& state, int x, double y) {
    if (state.TrendClickCount != 1) return std::nullopt;
    std::optional<ChartLine> segment;
    if (state.PenX != 0 || state.PenY != 0) {
        segment =
            ChartLine{double(state.PenX), double(state.PenY), double(x), y, ChartColor::Red, 3};
    }
    state.PenX = x;
    state.PenY = RoundToInt32(y);
    if (x >= 0 && x <= kTrendColumns) state.TrendLine[x] = state.PenY;
    return segment;
}

void FillTrendGaps(TrendLineTable& line) {
    // Left to right, so a filled column feeds the next one: a run of gaps falls off by halves.
    for (int i = 2; i <= 118; ++i) {
        if (line[i] == 0) {
            line[i] = RoundToInt32((double(line[i - 1]) + double(line[i + 1])) / 2.0);
        }
    }
}

std::string SerializeTrendLine(const TrendLineTable& line) {
    std::string text;
    for (int i = 1; i <= kHistoryRows; ++i) {
        if (i > 1) text += '*';
        text += std::to_string(line[i]);
    }
    return text;
}

std::optional<Message> ParseTrendLine(std::string_view text, TrendLineTable& line) {
    const auto fields = SplitText(text, "*");
    if (fields.size() < static_cast<std::size_t>(kHistoryRows)) {
        return Message{kMsgCurveIncomplete, kTitleCurve};
    }
    // Parsed aside and committed whole: a half-old, half-new line could otherwise be saved.
    TrendLineTable parsed = line;
    for (int i = 1; i <= kHistoryRows; ++i) {
        const auto value = ParseInteger32(fields[static_cast<std::size_t>(i - 1)]);
        if (!value) return Message{kMsgCurveIncomplete, kTitleCurve};
        parsed[i] = *value;
    }
    line = parsed;
    return std::nullopt;
}

std::vector<ChartLine> SavedLineSegments(std::string_view text) {
    TrendLineTable checked{};
    if (ParseTrendLine(text, checked)) return {};
    // Every field reads as a number now, so its leading number is its whole value.
    const auto fields = SplitText(text, "*");
    std::vector<ChartLine> segments;
    segments.reserve(kHistoryRows - 1);
    double previous = LeadingNumber(fields[0]);
    for (std::size_t i = 2; i <= static_cast<std::size_t>(kHistoryRows); ++i) {
        const double value = LeadingNumber(fields[i - 1]);
        segments.push_back({double(i - 1), previous, double(i), value, ChartColor::Red, 4});
        previous = value;
    }
    return segments;
}

SaveResult SaveTrendLineToSlot(AppState& state, int index, const std::filesystem::path& file) {
    state.CurveStoreLines[index] = std::string(TrimSpaces(SerializeTrendLine(state.TrendLine)));
    return SaveCurveStore(state.CurveStoreLines, file);
}

}  // namespace xuan5
