#include "backtest/candidates.h"

#include <algorithm>
#include <functional>
#include <optional>

#include "core/random.h"
#include "core/text.h"
#include "plans/tolerance.h"

namespace xuan5 {
namespace {

// The separators a Chinese keyboard types, read as spaces.
std::string Normalized(std::string_view text) {
    std::string out(text);
    for (const std::string_view wide : {"，", "；", "、", "　", "｜"})
        out = ReplaceAll(out, wide, " ");
    return out;
}

std::vector<std::string> Items(std::string_view text) {
    std::vector<std::string> items;
    const std::string normal = Normalized(text);
    std::size_t at = 0;
    while (at < normal.size()) {
        const std::size_t begin = normal.find_first_not_of(" \t\r\n|;", at);
        if (begin == std::string::npos) break;
        std::size_t end = normal.find_first_of(" \t\r\n|;", begin);
        if (end == std::string::npos) end = normal.size();
        std::string item = normal.substr(begin, end - begin);
        if (std::find(items.begin(), items.end(), item) == items.end()) items.push_back(item);
        at = end;
    }
    return items;
}

// Up to four digits: a number small enough for every box here.
bool ShortDigits(std::string_view text) {
    return text.size() <= 4 && AllDigits(text);
}

// "a" or "a-b" of plain numbers, within [low, high] and ascending.
std::optional<std::pair<int, int>> NumberRange(std::string_view item, int low, int high) {
    const auto dash = item.find('-');
    const std::string_view first = item.substr(0, dash);
    const std::string_view last = dash == std::string_view::npos ? first : item.substr(dash + 1);
    if (!ShortDigits(first) || !ShortDigits(last)) return std::nullopt;
    const int a = DigitsValue(first);
    const int b = DigitsValue(last);
    if (a < low || b > high || a > b) return std::nullopt;
    return std::pair{a, b};
}

template <typename T>
void AddOnce(std::vector<T>& list, T value) {
    if (std::find(list.begin(), list.end(), value) == list.end()) list.push_back(std::move(value));
}

// A list item the user typed that names no choice.
Failure BadItem(const std::string& text) {
    return Fail({text, kTitleErrorNotice, Message::Kind::InvalidInput});
}

// A tolerance written as a range where its codes run on ("03.04.05" is "03-05").
std::string ToleranceShort(const std::string& text) {
    const std::vector<std::string_view> codes = SplitText(text, ".");
    if (codes.size() < 3) return text;
    for (std::size_t i = 0; i < codes.size(); ++i) {
        if (codes[i].size() != 2 || !AllDigits(codes[i])) return text;
        if (i > 0 && DigitsValue(codes[i]) != DigitsValue(codes[i - 1]) + 1) return text;
    }
    return std::string(codes.front()) + "-" + std::string(codes.back());
}

std::string LinesShort(const LineChecks& lines) {
    std::string out;
    for (int i = 0; i < kLineCount;) {
        if (!lines[i]) {
            ++i;
            continue;
        }
        int j = i;
        while (j + 1 < kLineCount && lines[j + 1]) ++j;
        if (!out.empty()) out += ".";
        out += PadNumber(i + 1, 2);
        if (j > i) out += "-" + PadNumber(j + 1, 2);
        i = j + 1;
    }
    return out.empty() ? "无" : out;
}

std::string SizesShort(const LineSizeTexts& sizes) {
    const bool same = std::all_of(sizes.begin(), sizes.end(),
                                  [&](const std::string& size) { return size == sizes[0]; });
    return same ? sizes[0] : "各线不同";
}

}  // namespace

OptimiserCandidate CurrentCandidate(const PlanSettings& settings) {
    OptimiserCandidate candidate;
    const bool modeTwo = settings.useModeTwo;
    candidate.lineSizes = (modeTwo ? settings.modeTwo.lines : settings.modeOne.lines).lineSizes;
    candidate.lineTolerance = settings.modeOne.selection.lineTolerance;
    candidate.checkedLines = settings.modeOne.selection.checkedLines;
    candidate.instances = settings.modeOne.instances;
    candidate.instanceTolerance = settings.modeOne.instanceTolerance;
    candidate.groupTolerances = {settings.modeTwo.group1Tolerance, settings.modeTwo.group2Tolerance,
                                 settings.modeTwo.group3Tolerance};
    candidate.groupTotalTolerance = settings.modeTwo.groupTotalTolerance;
    return candidate;
}

PlanSettings WithCandidate(PlanSettings settings, const OptimiserCandidate& candidate) {
    settings.modeOne.lines.lineSizes = candidate.lineSizes;
    settings.modeTwo.lines.lineSizes = candidate.lineSizes;
    settings.modeOne.selection.lineTolerance = candidate.lineTolerance;
    settings.modeOne.selection.checkedLines = candidate.checkedLines;
    settings.modeOne.instances = candidate.instances;
    settings.modeOne.instanceTolerance = candidate.instanceTolerance;
    settings.modeTwo.group1Tolerance = candidate.groupTolerances[0];
    settings.modeTwo.group2Tolerance = candidate.groupTolerances[1];
    settings.modeTwo.group3Tolerance = candidate.groupTolerances[2];
    settings.modeTwo.groupTotalTolerance = candidate.groupTotalTolerance;
    return settings;
}

Result<std::vector<std::string>> ParseToleranceChoices(std::string_view text) {
    std::vector<std::string> choices;
    for (const std::string& item : Items(text)) {
        if (item.find('-') != std::string::npos) {
            const auto range = NumberRange(item, 0, 99);
            if (!range) return BadItem("容对候选有误：" + item);
            std::string codes;
            for (int count = range->first; count <= range->second; ++count) {
                codes += (codes.empty() ? "" : ".") + PadNumber(count, 2);
            }
            AddOnce(choices, codes);
        } else if (item.find_first_not_of("0123456789.") == std::string::npos) {
            AddOnce(choices, item);
        } else {
            return BadItem("容对候选有误：" + item);
        }
    }
    return choices;
}

Result<std::vector<LineChecks>> ParseLineChoices(std::string_view text) {
    std::vector<LineChecks> choices;
    for (const std::string& item : Items(text)) {
        LineChecks lines{};
        std::string pieces = item;
        std::replace(pieces.begin(), pieces.end(), ',', '.');
        for (std::string_view piece : SplitText(pieces, ".")) {
            const auto range = NumberRange(piece, 1, kLineCount);
            if (!range) return BadItem("线路候选有误：" + item);
            for (int n = range->first; n <= range->second; ++n) lines[n - 1] = true;
        }
        AddOnce(choices, lines);
    }
    return choices;
}

Result<std::vector<int>> ParseCountChoices(std::string_view text, int low, int high,
                                           std::string_view what) {
    std::vector<int> choices;
    for (const std::string& item : Items(text)) {
        const auto range = NumberRange(item, low, high);
        if (!range) {
            return BadItem(std::string(what) + "候选有误：" + item + "（须为" +
                           std::to_string(low) + "到" + std::to_string(high) + "）");
        }
        for (int n = range->first; n <= range->second; ++n) AddOnce(choices, n);
    }
    return choices;
}

Result<std::vector<OptimiserCandidate>> BuildCandidates(const PlanSettings& settings,
                                                        const OptimiserSpace& space,
                                                        int maxCandidates, std::uint64_t seed) {
    const bool modeTwo = settings.useModeTwo;
    const OptimiserCandidate current = CurrentCandidate(settings);
    // The choices of each varying setting, as functions that put choice k into a candidate.
    std::vector<std::size_t> sizes;
    std::vector<std::function<void(OptimiserCandidate&, std::size_t)>> put;
    const auto dimension = [&](const auto& list, auto setter) {
        if (list.empty()) return;
        sizes.push_back(list.size());
        put.push_back(
            [&list, setter](OptimiserCandidate& c, std::size_t k) { setter(c, list[k]); });
    };
    dimension(space.betCounts,
              [](OptimiserCandidate& c, const LineSizeTexts& v) { c.lineSizes = v; });
    if (modeTwo) {
        for (std::size_t group = 0; group < 3; ++group) {
            dimension(space.groupTolerances, [group](OptimiserCandidate& c, const std::string& v) {
                c.groupTolerances[group] = v;
            });
        }
        dimension(space.groupTotals,
                  [](OptimiserCandidate& c, const std::string& v) { c.groupTotalTolerance = v; });
    } else {
        dimension(space.lineTolerances,
                  [](OptimiserCandidate& c, const std::string& v) { c.lineTolerance = v; });
        dimension(space.lineChoices,
                  [](OptimiserCandidate& c, const LineChecks& v) { c.checkedLines = v; });
        dimension(space.instanceCounts,
                  [](OptimiserCandidate& c, int v) { c.instances = std::to_string(v); });
        dimension(space.instanceTolerances,
                  [](OptimiserCandidate& c, const std::string& v) { c.instanceTolerance = v; });
    }
    long long combinations = 1;
    for (std::size_t size : sizes) {
        combinations *= static_cast<long long>(size);
        if (combinations > kMaxCandidateCombinations) {
            return Fail({"候选组合太多（超过" + std::to_string(kMaxCandidateCombinations) +
                           "种），请减少可变的设置或候选",
                         kTitleErrorNotice, Message::Kind::Refused});
        }
    }
    const auto make = [&](long long index) {
        OptimiserCandidate candidate = current;
        for (std::size_t d = sizes.size(); d-- > 0;) {
            put[d](candidate, static_cast<std::size_t>(index % static_cast<long long>(sizes[d])));
            index /= static_cast<long long>(sizes[d]);
        }
        return candidate;
    };
    // Mode one: which pairs of X and total are worth running, decided once per pair. X < 2
    // never reads the total, so only the first total is kept with it; a total that accepts no
    // count up to X leaves every plan empty.
    const std::size_t xs = modeTwo ? 1 : std::max<std::size_t>(space.instanceCounts.size(), 1);
    const std::size_t totals =
        modeTwo ? 1 : std::max<std::size_t>(space.instanceTolerances.size(), 1);
    std::vector<bool> worth(xs * totals, true);
    if (!modeTwo) {
        for (std::size_t xk = 0; xk < xs; ++xk) {
            for (std::size_t tk = 0; tk < totals; ++tk) {
                const auto x = space.instanceCounts.empty()
                                   ? ParseInteger32(current.instances)
                                   : std::optional<std::int32_t>(space.instanceCounts[xk]);
                const std::string& total = space.instanceTolerances.empty()
                                               ? current.instanceTolerance
                                               : space.instanceTolerances[tk];
                // An X the plan panel refuses is refused when run, not left out here.
                if (!x) continue;
                worth[xk * totals + tk] =
                    *x < 2 ? tk == 0
                           : !AcceptedCountsFromText(TrimSpaces(total), *x, HitCode::TwoDigit)
                                  .counts.empty();
            }
        }
    }
    // X and the total are the last two lists of mode one when they vary.
    const auto totalOf = [&](long long index) {
        return space.instanceTolerances.empty()
                   ? 0
                   : static_cast<std::size_t>(index % static_cast<long long>(totals));
    };
    const auto xOf = [&](long long index) {
        if (space.instanceCounts.empty()) return std::size_t{0};
        if (!space.instanceTolerances.empty()) index /= static_cast<long long>(totals);
        return static_cast<std::size_t>(index % static_cast<long long>(xs));
    };
    std::vector<long long> kept;
    for (long long index = 0; index < combinations; ++index) {
        if (worth[xOf(index) * totals + totalOf(index)]) kept.push_back(index);
    }
    // The current settings come first on their own; their place among the combinations, if
    // they have one, is not drawn again.
    long long currentIndex = 0;
    for (std::size_t d = 0; d < sizes.size() && currentIndex >= 0; ++d) {
        std::size_t k = 0;
        for (; k < sizes[d]; ++k) {
            OptimiserCandidate probe = current;
            put[d](probe, k);
            if (probe == current) break;
        }
        currentIndex = k < sizes[d] ? currentIndex * static_cast<long long>(sizes[d]) +
                                          static_cast<long long>(k)
                                    : -1;
    }
    const auto at = std::lower_bound(kept.begin(), kept.end(), currentIndex);
    if (at != kept.end() && *at == currentIndex) kept.erase(at);
    const auto room = static_cast<std::size_t>(std::max(maxCandidates - 1, 0));
    if (kept.size() > room) {
        // A partial shuffle by the seed, then the drawn ones in their listed order.
        std::uint64_t state = seed;
        for (std::size_t i = 0; i < room; ++i) {
            const std::size_t j = i + UniformBelow(state, kept.size() - i);
            std::swap(kept[i], kept[j]);
        }
        kept.resize(room);
        std::sort(kept.begin(), kept.end());
    }
    std::vector<OptimiserCandidate> candidates{current};
    for (long long index : kept) candidates.push_back(make(index));
    return candidates;
}

std::string DescribeCandidate(const OptimiserCandidate& candidate, bool modeTwo) {
    const std::string bets = " 注" + SizesShort(candidate.lineSizes);
    if (modeTwo) {
        const auto& groups = candidate.groupTolerances;
        return "组容对" + ToleranceShort(groups[0]) + "/" + ToleranceShort(groups[1]) + "/" +
               ToleranceShort(groups[2]) + " 总" + ToleranceShort(candidate.groupTotalTolerance) +
               bets;
    }
    std::string text = "容对" + ToleranceShort(candidate.lineTolerance) + " 线" +
                       LinesShort(candidate.checkedLines) + " X" + candidate.instances;
    const auto x = ParseInteger32(candidate.instances);
    if (!x || *x >= 2) text += " 总" + ToleranceShort(candidate.instanceTolerance);
    return text + bets;
}

std::vector<std::string> DescribeSpace(const OptimiserSpace& space) {
    std::vector<std::string> lists;
    const auto list = [&](const char* caption, const auto& items, const auto& text) {
        if (items.empty()) return;
        std::string line = caption;
        for (const auto& item : items) line += " " + text(item);
        lists.push_back(std::move(line));
    };
    list("每线注数", space.betCounts, SizesShort);
    list("线路容对", space.lineTolerances, ToleranceShort);
    list("参与线路", space.lineChoices, LinesShort);
    list("多开次数", space.instanceCounts, [](int x) { return std::to_string(x); });
    list("总容对", space.instanceTolerances, ToleranceShort);
    list("分组容对", space.groupTolerances, ToleranceShort);
    list("分组总容对", space.groupTotals, ToleranceShort);
    return lists;
}

std::string BetCountsText(const LineSizeTexts& sizes) {
    if (SizesShort(sizes) == sizes[0]) return "各" + sizes[0] + "注";
    std::string text;
    for (int k = 0; k < kLineCount; ++k) {
        if (k > 0) text += " ";
        text += PadNumber(k + 1, 2) + "线" + sizes[k];
    }
    return text;
}

}  // namespace xuan5
