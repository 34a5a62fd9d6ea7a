// The sort and the group filter computed the way their rules are written: texts cut with Mid,
// read with Val, tested with find. Slow on purpose; the engine's versions must give exactly the
// same results (randomized tests, fuzzing) and are benchmarked against these.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/bets.h"
#include "core/draw_history.h"
#include "core/text.h"
#include "sortfilter/banker_sort.h"
#include "sortfilter/group_filter.h"

namespace xuan5::literal {

// Basic-style Split: an empty text has no parts.
inline std::vector<std::string> Split(const std::string& text, const std::string& separator) {
    std::vector<std::string> parts;
    if (text.empty()) return parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t hit = text.find(separator, start);
        if (hit == std::string::npos) {
            parts.push_back(text.substr(start));
            return parts;
        }
        parts.push_back(text.substr(start, hit - start));
        start = hit + separator.size();
    }
}

// Basic-style Mid with a 1-based start.
inline std::string Mid(const std::string& text, std::size_t start, std::size_t length) {
    if (start - 1 >= text.size()) return "";
    return text.substr(start - 1, length);
}

inline double Val(const std::string& text) {
    return LeadingNumber(text);
}

inline BankerSortResult RefreshBankerSort(const DrawTable& history, const std::string& qishu,
                                          const std::string& modeText) {
    const double w = RoundHalfEven(Val(qishu));
    if (std::isnan(w) || w < std::numeric_limits<std::int32_t>::min() ||
        w > std::numeric_limits<std::int32_t>::max()) {
        return Fail({kMsgSortFailed, kTitleNotice});
    }
    const int W = static_cast<int>(w);
    if (W > 50) return Fail({kMsgSortWindowTooLong, kTitleNotice});
    const std::string mode(TrimSpaces(modeText));
    if (mode.find("-") == std::string::npos) return Fail({kMsgSortModeFormat, kTitleErrorNotice});
    const std::vector<std::string> parts = Split(mode, "-");
    double sum = 0;
    for (const std::string& part : parts) sum = RoundHalfEven(sum + Val(part));
    if (!(sum <= 11)) return Fail({kMsgSortModeValue, kTitleErrorNotice});
    Outcome<std::vector<std::string>> result;

    const int positions[5] = {1, 4, 7, 10, 13};
    for (int p = 20; p >= 0; --p) {
        long long count[12];
        int number[12];
        for (int n = 0; n <= 11; ++n) {
            count[n] = 0;
            number[n] = n;
        }
        for (int k = p + 1; k <= p + W; ++k) {
            for (int pos : positions) {
                const double v = RoundHalfEven(Val(Mid(history[k].numbers, pos, 2)));
                const int row = v >= 1 && v <= 11 ? static_cast<int>(v) : 0;
                count[row] += 1;
            }
        }
        for (int pass = 1; pass <= 11; ++pass) {
            for (int j = 2; j <= 11; ++j) {
                if (count[j - 1] < count[j]) {
                    std::swap(count[j - 1], count[j]);
                    std::swap(number[j - 1], number[j]);
                }
            }
        }
        std::vector<std::string> ranked;
        for (int i = 1; i <= 11; ++i) ranked.push_back(PadNumber(number[i], 2));

        std::vector<std::string> groups;
        double running = 0;
        int start = 0;
        for (const std::string& part : parts) {
            const double before = running;
            running = RoundHalfEven(running + Val(part));
            const int size = static_cast<int>(running - before);
            std::string group;
            for (int i = start; i <= start + size - 1; ++i) {
                if (i > start) group += " ";
                group += ranked[i];
            }
            groups.push_back(group);
            start += size;
        }
        std::string grouping;
        for (std::size_t g = 0; g < groups.size(); ++g) {
            if (g > 0) grouping += "*";
            grouping += groups[g];
        }

        if (p == 0) {
            const double next = RoundHalfEven(Val(history[1].period) + 1);
            if (!(std::abs(next) < 1e18)) {
                result.notices.push_back({kMsgSortFailed, kTitleNotice});
                return result;
            }
            result.value.push_back(PadNumber(static_cast<long long>(next), 3) + "期：" + grouping +
                                   "：奖号分布/对几组：未开奖....");
            continue;
        }
        std::vector<std::string> drawn;
        for (int pos : positions) drawn.push_back(Mid(history[p].numbers, pos, 2));
        std::string pattern;
        int hits = 0;
        for (std::size_t g = 0; g < groups.size(); ++g) {
            int flag = 0;
            for (const std::string& d : drawn) {
                if (!d.empty() && groups[g].find(d) != std::string::npos) flag = 1;
            }
            if (g > 0) pattern += "-";
            pattern += std::to_string(flag);
            hits += flag;
        }
        result.value.push_back(history[p].period + "期：" + grouping + "：奖号分布/对几组：" +
                               pattern + " / " + std::to_string(hits));
    }
    return result;
}

inline GroupFilterResult RunGroupFilter(const AllBetsTable& allBets, const std::string& input,
                                        const std::string& rc) {
    GroupFilterResult result;
    const std::string allowed = "=*0123456789 \r\n";
    for (char ch : std::string(TrimSpaces(input))) {
        if (allowed.find(ch) != std::string::npos) result.value.filterText += ch;
    }
    if (result.value.filterText.empty()) return result;
    // Each line cut into its groups and accepted counts; a skipped line keeps no groups. (Cut
    // once instead of once per bet: the texts and the tests on them are the same.)
    struct Line {
        bool counts = false;
        std::vector<std::string> groups;
        std::string accepted;
    };
    std::vector<Line> lines;
    for (const std::string& text : Split(result.value.filterText, "\r\n")) {
        Line line;
        if (!ReplaceAll(text, " ", "").empty() && text.find("=") != std::string::npos) {
            const std::vector<std::string> sides = Split(text, "=");
            if (sides[0].find("*") != std::string::npos) {
                line.counts = true;
                line.groups = Split(sides[0], "*");
                line.accepted = sides.size() > 1 ? sides[1] : "";
            }
        }
        lines.push_back(line);
    }
    std::string dadi;
    int zhushu = 0;
    for (int k = 1; k <= 462; ++k) {
        const std::string& bet = allBets[k];
        const std::string nums[5] = {Mid(bet, 1, 2), Mid(bet, 4, 2), Mid(bet, 7, 2),
                                     Mid(bet, 10, 2), Mid(bet, 13, 2)};
        int satisfied = 0;
        for (const Line& line : lines) {
            if (!line.counts) continue;
            int touched = 0;
            for (const std::string& group : line.groups) {
                for (const std::string& n : nums) {
                    if (group.find(n) != std::string::npos) {
                        ++touched;
                        break;
                    }
                }
            }
            if (line.accepted.find(std::to_string(touched)) != std::string::npos) ++satisfied;
        }
        if (rc.find(std::to_string(satisfied)) != std::string::npos) {
            if (zhushu > 0) dadi += "\r\n";
            dadi += bet;
            ++zhushu;
        }
    }
    result.value.kept = PlanBaseText{std::string(TrimSpaces(dadi)), std::to_string(zhushu)};
    return result;
}

}  // namespace xuan5::literal
