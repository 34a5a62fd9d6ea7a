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

// n / d rounded half to even, for d > 0. Exact where a double step is not: 2386 / 28 * 21 lands
// just below 1789.5 and would round down.
std::int64_t DivideHalfEven(std::int64_t n, std::int64_t d) {
    std::int64_t q = n / d;
    std::int64_t r = n % d;
    if (r < 0) {
        r += d;
        q -= 1;
    }
    if (2 * r > d || (2 * r == d && q % 2 != 0)) q += 1;
    return q;
}

}  // namespace

bool TrendMouseDown(TrendDrawing& drawing) {
    drawing.TrendClickCount += 1;
    const bool started = drawing.TrendClickCount == 1;
    if (started) {
        drawing.TrendLine = TrendLineTable{};
        drawing.recorded.reset();
    } else {
        drawing.TrendClickCount = 0;
        FillTrendGaps(drawing.TrendLine, drawing.recorded);
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
    if (x >= 0 && x <= kTrendColumns) {
        drawing.TrendLine[x] = drawing.PenY;
        drawing.recorded.set(static_cast<std::size_t>(x));
    }
    return segment;
}

void FillTrendGaps(TrendLineTable& line, const RecordedColumns& recorded) {
    int left = -1;
    for (int x = 0; x <= kTrendColumns; ++x) {
        if (!recorded.test(static_cast<std::size_t>(x))) continue;
        if (left >= 0 && x - left > 1) {
            const std::int64_t from = line[left];
            const std::int64_t rise = std::int64_t{line[x]} - from;
            const std::int64_t run = x - left;
            for (int c = left + 1; c < x; ++c) {
                // The whole value is rounded, not the step: -3 + 1.5 is -1.5, which goes to -2.
                // It lies between two int32 values, so it is one as well.
                line[c] =
                    static_cast<std::int32_t>(DivideHalfEven(from * run + rise * (c - left), run));
            }
        }
        left = x;
    }
    // A hand stopping a few pixels short of the green line did not mean the newest period to
    // fall to 0, which is what the base search would then aim at.
    if (left >= kHistoryRows - kTrendEndCarry && left < kHistoryRows) {
        for (int c = left + 1; c <= kHistoryRows; ++c) line[c] = line[left];
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
        return Fail({kMsgCurveIncomplete, kTitleNotice, Message::Kind::Damaged});
    }
    // Parsed aside and handed back whole: a half-old, half-new line could otherwise be saved.
    TrendLineTable parsed = line;
    for (int i = 1; i <= kHistoryRows; ++i) {
        const auto value = ParseInteger32(fields[static_cast<std::size_t>(i - 1)]);
        if (!value) return Fail({kMsgCurveIncomplete, kTitleNotice, Message::Kind::Damaged});
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

}  // namespace xuan5
