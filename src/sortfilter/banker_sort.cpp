#include "sortfilter/banker_sort.h"

#include <array>
#include <charconv>
#include <cstdint>
#include <exception>
#include <limits>

#include "core/text.h"

namespace xuan5 {
namespace {

constexpr int kNumbers = 11;
constexpr std::array<int, 5> kDrawPositions = {1, 4, 7, 10, 13};
constexpr std::array<std::string_view, kNumbers + 1> kTwoDigit = {
    "00", "01", "02", "03", "04", "05", "06", "07", "08", "09", "10", "11"};

constexpr std::string_view kFullWidthColon = "：";
constexpr std::string_view kPeriodMark = "期：";
constexpr std::string_view kPatternMark = "：奖号分布/对几组：";
constexpr std::string_view kComing = "未开奖....";

// The number a canonical two-digit text "01".."11" names, else 0.
int CanonicalNumber(std::string_view t) {
    if (t.size() != 2 || t[0] < '0' || t[0] > '9' || t[1] < '0' || t[1] > '9') return 0;
    const int v = (t[0] - '0') * 10 + (t[1] - '0');
    return v <= kNumbers ? v : 0;
}

// Group sizes of a decomposition mode, or the message that refuses it. A part's size is the
// step it adds to the rounded running sum, so fractional parts can never make the groups
// reach past the sum that was checked against 11.
Result<std::vector<int>> ReadMode(std::string_view modeText) {
    const std::string_view mode = TrimSpaces(modeText);
    if (mode.find('-') == std::string_view::npos) {
        return Fail({kMsgSortModeFormat, kTitleErrorNotice});
    }
    std::vector<double> sums;
    double sum = 0;
    for (std::string_view part : SplitText(mode, "-")) {
        sum = RoundHalfEven(sum + LeadingNumber(part));
        sums.push_back(sum);
    }
    if (!(sum <= kNumbers)) return Fail({kMsgSortModeValue, kTitleErrorNotice});
    std::vector<int> sizes;
    int previous = 0;
    for (double s : sums) {
        sizes.push_back(static_cast<int>(s) - previous);
        previous = static_cast<int>(s);
    }
    return sizes;
}

// What one history row contributes: the numbers its positions count for, and what its draw
// hits. Non-canonical position texts keep their raw text for the substring test.
struct RowDraw {
    std::array<int, 5> counted{};
    unsigned canonicalMask = 0;
    std::array<std::string_view, 5> oddTexts{};
    int oddCount = 0;
};

RowDraw ReadRow(const DrawRecord& row) {
    RowDraw d;
    for (int i = 0; i < 5; ++i) {
        const std::string_view t = DrawNumberAt(row.numbers, kDrawPositions[i]);
        d.counted[i] = DrawNumberValue(t);
        if (const int n = CanonicalNumber(t); n != 0) {
            d.canonicalMask |= 1u << n;
        } else if (!t.empty()) {
            d.oddTexts[d.oddCount++] = t;
        }
    }
    return d;
}

void AppendDecimal(std::string& out, long long value) {
    out += std::to_string(value);
}

constexpr double kStepMinimum = 1;   // "-" needs a value above this
constexpr double kStepMaximum = 49;  // "+" needs a value below this

// Plain decimal text of a value: whole numbers without a fraction, others in their shortest
// exact form, never in exponent notation (the sort reads the text back with LeadingNumber).
std::string NumberText(double value) {
    char buffer[512];
    const auto [end, ec] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    if (ec != std::errc()) return std::to_string(value);
    return std::string(buffer, end);
}

}  // namespace

std::string_view DrawNumberAt(std::string_view numbers, int position) {
    const std::size_t start = static_cast<std::size_t>(position - 1);
    if (start >= numbers.size()) return {};
    return numbers.substr(start, 2);
}

int DrawNumberValue(std::string_view text) {
    if (text.size() == 2 && text[0] >= '0' && text[0] <= '9' && text[1] >= '0' && text[1] <= '9') {
        const int v = (text[0] - '0') * 10 + (text[1] - '0');
        return v <= kNumbers ? v : 0;
    }
    const double v = RoundHalfEven(LeadingNumber(text));
    return v >= 1 && v <= kNumbers ? static_cast<int>(v) : 0;
}

BankerSortResult RefreshBankerSort(const DrawTable& history, std::string_view windowLength,
                                   std::string_view groupingMode) {
    const double w = RoundHalfEven(LeadingNumber(windowLength));
    if (!(w >= std::numeric_limits<std::int32_t>::min() &&
          w <= std::numeric_limits<std::int32_t>::max())) {
        return Fail({kMsgSortFailed, kTitleNotice});
    }
    if (w > kSortMaxWindow) return Fail({kMsgSortWindowTooLong, kTitleNotice});
    const Result<std::vector<int>> mode = ReadMode(groupingMode);
    if (!mode) return mode.failure();
    const std::vector<int>& sizes = *mode;
    Outcome<std::vector<std::string>> sorted;
    std::vector<std::string>& lines = sorted.value;
    try {
        const int window = w > 0 ? static_cast<int>(w) : 0;
        const int deepest = kSortVerifiedPeriods + window;  // at most 70, inside the history
        std::array<RowDraw, kSortVerifiedPeriods + kSortMaxWindow + 1> rows{};
        for (int r = 1; r <= deepest; ++r) rows[r] = ReadRow(history[r]);

        // Counts of the window of offset p (rows p+1..p+W), slid one row per offset.
        std::array<int, kNumbers + 1> counts{};
        for (int r = kSortVerifiedPeriods + 1; r <= deepest; ++r)
            for (int n : rows[r].counted) ++counts[n];

        std::vector<std::size_t> groupEnds(sizes.size());
        std::vector<unsigned> groupMasks(sizes.size());
        lines.reserve(kSortVerifiedPeriods + 1);
        for (int p = kSortVerifiedPeriods; p >= 0; --p) {
            // Stable ranking by count, highest first; ties keep ascending number order.
            std::array<int, kNumbers> ranked{};
            for (int n = 1; n <= kNumbers; ++n) {
                int j = n - 1;
                while (j > 0 && counts[ranked[j - 1]] < counts[n]) {
                    ranked[j] = ranked[j - 1];
                    --j;
                }
                ranked[j] = n;
            }

            std::string line;
            line.reserve(160);
            if (p > 0) {
                line += history[p].period;
            } else {
                const double next = RoundHalfEven(LeadingNumber(history[1].period) + 1);
                if (!(next > -1e18 && next < 1e18)) {
                    sorted.notices.push_back({kMsgSortFailed, kTitleNotice});
                    return sorted;
                }
                line += PadNumber(static_cast<long long>(next), 3);
            }
            line += kPeriodMark;
            const std::size_t groupingStart = line.size();
            int pos = 0;
            for (std::size_t g = 0; g < sizes.size(); ++g) {
                if (g > 0) line += '*';
                unsigned mask = 0;
                for (int e = 0; e < sizes[g]; ++e, ++pos) {
                    if (e > 0) line += ' ';
                    line += kTwoDigit[ranked[pos]];
                    mask |= 1u << ranked[pos];
                }
                groupMasks[g] = mask;
                groupEnds[g] = line.size();
            }
            line += kPatternMark;
            if (p == 0) {
                line += kComing;
            } else {
                const RowDraw& draw = rows[p];
                int hits = 0;
                std::size_t groupStart = groupingStart;
                for (std::size_t g = 0; g < sizes.size(); ++g) {
                    bool hit = (groupMasks[g] & draw.canonicalMask) != 0;
                    const std::string_view text(line.data() + groupStart,
                                                groupEnds[g] - groupStart);
                    for (int i = 0; i < draw.oddCount && !hit; ++i)
                        hit = text.find(draw.oddTexts[i]) != std::string_view::npos;
                    groupStart = groupEnds[g] + 1;
                    if (g > 0) line += '-';
                    line += hit ? '1' : '0';
                    hits += hit;
                }
                line += " / ";
                AppendDecimal(line, hits);
            }
            lines.push_back(std::move(line));

            if (p > 0 && window > 0) {
                for (int n : rows[p].counted) ++counts[n];
                for (int n : rows[p + window].counted) --counts[n];
            }
        }
    } catch (const std::exception&) {
        sorted.notices.push_back({kMsgSortFailed, kTitleNotice});
    }
    return sorted;
}

std::optional<std::string> GroupingFromSortLine(std::string_view line) {
    const std::size_t first = line.find(kFullWidthColon);
    if (first == std::string_view::npos) return std::nullopt;
    const std::size_t start = first + kFullWidthColon.size();
    const std::size_t second = line.find(kFullWidthColon, start);
    return std::string(line.substr(
        start, second == std::string_view::npos ? std::string_view::npos : second - start));
}

std::optional<std::string> StepWindowLength(std::string_view windowLength, int step) {
    const double value = LeadingNumber(windowLength);
    if (step < 0 && value > kStepMinimum) return NumberText(value - 1);
    if (step > 0 && value < kStepMaximum) return NumberText(value + 1);
    return std::nullopt;
}

}  // namespace xuan5
