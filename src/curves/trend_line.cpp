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

bool TrendMouseDown(TrendDrawing& drawing) {
    drawing.TrendClickCount += 1;
    const bool started = drawing.TrendClickCount == 1;
    if (started) {
        drawing.TrendLine = TrendLineTable{};
    } else {
        drawing.TrendClickCount = 0;
        FillTrendGaps(drawing.TrendLine);
    }
    drawing.PenX = 0;
    drawing.PenY = 0;
    return started;
}

std::optional<ChartLine> DrawTrendSegment(TrendDrawing& drawing, int x, double y) {
    if (drawing.TrendClickCount != 1) return std::nullopt;
    std::optional<ChartLine> segment;
    if (drawing.PenX != 0 || drawing.PenY != 0) {
        segment =
            ChartLine{double(drawing.PenX), double(drawing.PenY), double(x), y, ChartColor::Red, 3};
    }
    drawing.PenX = x;
    drawing.PenY = RoundToInt32(y);
    if (x >= 0 && x <= kTrendColumns) drawing.TrendLine[x] = drawing.PenY;
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

Result<TrendLineTable> ParseTrendLine(std::string_view text, const TrendLineTable& line) {
    const auto fields = SplitText(text, "*");
    if (fields.size() < static_cast<std::size_t>(kHistoryRows)) {
        return Fail({kMsgCurveIncomplete, kTitleCurve});
    }
    // Parsed aside and handed back whole: a half-old, half-new line could otherwise be saved.
    TrendLineTable parsed = line;
    for (int i = 1; i <= kHistoryRows; ++i) {
        const auto value = ParseInteger32(fields[static_cast<std::size_t>(i - 1)]);
        if (!value) return Fail({kMsgCurveIncomplete, kTitleCurve});
        parsed[i] = *value;
    }
    return parsed;
}

std::vector<ChartLine> SavedLineSegments(std::string_view text) {
    if (!ParseTrendLine(text)) return {};
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

Result<LineTexts> SaveTrendLineToSlot(LineTexts storeLines, int index, const TrendLineTable& line,
                                      const std::filesystem::path& file) {
    storeLines[index] = std::string(TrimSpaces(SerializeTrendLine(line)));
    const Status saved = SaveCurveStore(storeLines, file);
    if (!saved) return saved.failure();
    return storeLines;
}

}  // namespace xuan5
