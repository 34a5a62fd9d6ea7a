// The plan algorithms written the literal way: substring searches of bet texts in base texts and
// of hit codes in tolerance texts, bet by bet. They are the reference that the set-based engine
// is checked against and the baseline it is measured by.
#pragma once

#include <array>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "core/bets.h"
#include "core/text.h"
#include "curves/trend_line.h"
#include "literal_curves.h"
#include "oracle/literal_state.h"

namespace xuan5::literal {

// A search the way the system's text rule has it: nothing occurs in an empty text, and an empty
// needle occurs in every other text.
// memmem keeps the oracle usable in thousands of cases under the sanitizers.
inline bool Occurs(const std::string& text, const std::string& needle) {
    if (text.empty()) return false;
    if (needle.empty()) return true;
    return memmem(text.data(), text.size(), needle.data(), needle.size()) != nullptr;
}

inline std::string TwoDigitCode(long long count) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%02lld", count);
    return buffer;
}

inline std::string PlainCode(long long count) {
    return std::to_string(count);
}

// Split at "."; an empty text has no pieces.
inline std::vector<std::string> SplitDots(const std::string& text) {
    std::vector<std::string> pieces;
    if (text.empty()) return pieces;
    std::size_t start = 0;
    while (true) {
        const std::size_t dot = text.find('.', start);
        if (dot == std::string::npos) {
            pieces.push_back(text.substr(start));
            return pieces;
        }
        pieces.push_back(text.substr(start, dot - start));
        start = dot + 1;
    }
}

inline std::string Trim(const std::string& text) {
    return std::string(TrimSpaces(text));
}

struct LiteralBanker {
    bool on = false;
    std::string bankers;
    std::string tolerance;
};

struct LiteralResult {
    std::string text;
    int count = 0;
};

// Step 2.4 and 2.5 of the rule for one bet that already passed its hit code.
inline bool BankerAccepts(const std::string& bet, const std::vector<std::string>& pieces,
                          const LiteralBanker& banker) {
    if (!banker.on) return true;
    long long k = 0;
    for (const auto& piece : pieces) {
        if (Occurs(bet, piece)) ++k;
    }
    return Occurs(banker.tolerance, PlainCode(k));
}

inline void Accept(LiteralResult& result, const std::string& bet) {
    if (result.count == 0) {
        result.text = bet;
    } else {
        result.text += "\r\n" + bet;
    }
    ++result.count;
}

inline LiteralResult Finish(LiteralResult result) {
    result.text = Trim(result.text);
    return result;
}

// The tolerance rule over input bases.
inline LiteralResult LiteralToleranceRule(const std::vector<std::string>& bases,
                                          const std::string& tolerance, bool twoDigit,
                                          const LiteralBanker& banker = {}) {
    const AllBetsTable all = BuildAllBets();
    const auto pieces = SplitDots(banker.bankers);
    LiteralResult result;
    for (int b = 1; b <= kBetCount; ++b) {
        long long hits = 0;
        for (const auto& base : bases) {
            if (Occurs(base, all[b])) ++hits;
        }
        const std::string code = twoDigit ? TwoDigitCode(hits) : PlainCode(hits);
        if (!Occurs(tolerance, code)) continue;
        if (!BankerAccepts(all[b], pieces, banker)) continue;
        Accept(result, all[b]);
    }
    return Finish(result);
}

inline LiteralResult LiteralIntersectLineBases(const LineTexts& lineBases,
                                               const std::array<bool, kLineCount>& checked,
                                               const std::string& tolerance,
                                               const LiteralBanker& banker) {
    std::vector<std::string> bases;
    for (int i = 0; i < kLineCount; ++i) {
        if (checked[i]) bases.push_back(lineBases[i]);
    }
    return LiteralToleranceRule(bases, tolerance, true, banker);
}

inline LiteralResult LiteralIntersectInstanceBases(const std::vector<std::string>& instanceBases,
                                                   int x, const std::string& tolerance) {
    std::vector<std::string> bases;
    for (int i = 1; i <= x; ++i) bases.push_back(instanceBases[i]);
    return LiteralToleranceRule(bases, tolerance, true);
}

// Plan mode two's bet loop, reading the group texts for every bet as the mode does.
inline LiteralResult LiteralGroupedLines(const LineTexts& lineBases,
                                         const std::array<std::string, 3>& groups,
                                         const std::array<std::string, 3>& groupTolerances,
                                         const std::string& totalTolerance,
                                         const LiteralBanker& banker) {
    const AllBetsTable all = BuildAllBets();
    const auto pieces = SplitDots(banker.bankers);
    LiteralResult result;
    for (int b = 1; b <= kBetCount; ++b) {
        int satisfied = 0;
        for (int k = 0; k < 3; ++k) {
            int g = 0;
            for (int n = 1; n <= kLineCount; ++n) {
                if (Occurs(groups[k], TwoDigitCode(n)) && Occurs(lineBases[n - 1], all[b])) ++g;
            }
            if (Occurs(groupTolerances[k], TwoDigitCode(g))) ++satisfied;
        }
        if (!Occurs(totalTolerance, TwoDigitCode(satisfied))) continue;
        if (!BankerAccepts(all[b], pieces, banker)) continue;
        Accept(result, all[b]);
    }
    return Finish(result);
}

// The backup intersection: the result box text and, unless the tolerance is empty, its count.
inline LiteralResult LiteralIntersectBackupBases(const std::array<std::string, 3>& boxes,
                                                 const std::string& tolerance) {
    const std::string rc = Trim(tolerance);
    if (rc.empty()) return {"请写容对数值", -1};
    std::vector<std::string> bases;
    for (const auto& box : boxes) {
        if (!Trim(box).empty()) bases.push_back(Trim(box));
    }
    return LiteralToleranceRule(bases, rc, false);
}

// The join of a plan base with the backup result: bets in both, in AllBets order.
inline LiteralResult LiteralJoin(const std::string& plan, const std::string& backup) {
    const AllBetsTable all = BuildAllBets();
    LiteralResult result;
    for (int b = 1; b <= kBetCount; ++b) {
        if (Occurs(plan, all[b]) && Occurs(backup, all[b])) Accept(result, all[b]);
    }
    return Finish(result);
}

inline std::string LiteralListBetsInText(const std::string& text) {
    const AllBetsTable all = BuildAllBets();
    std::string out;
    for (int b = 1; b <= kBetCount; ++b) {
        if (Occurs(text, all[b])) out += all[b] + "*";
    }
    return out;
}

struct LiteralPlanOne {
    LiteralResult plan;
    LineTexts lineBases;
    std::vector<std::string> instanceBases;
};

// Plan mode one with X >= 2 and "每期算号" selected, over the saved lines of `state`: every
// instance parses each line, searches its base and intersects the checked ones; then the
// instance plans are intersected. TrendLine of `state` is updated as the parses leave it.
inline LiteralPlanOne LiteralRunPlanModeOne(LiteralState& state, int x,
                                            const std::string& totalTolerance,
                                            const std::array<std::string, kLineCount>& sizes,
                                            const std::array<bool, kLineCount>& checked,
                                            const std::string& lineTolerance,
                                            const LiteralBanker& banker, std::mt19937_64& rng) {
    const AllBetsTable all = BuildAllBets();
    LiteralPlanOne out;
    out.instanceBases.assign(static_cast<std::size_t>(x) + 1, std::string());
    for (int i = 1; i <= x; ++i) {
        for (int line = 0; line < kLineCount; ++line) {
            if (auto parsed = ParseTrendLine(state.CurveStoreLines[line], state.TrendLine))
                state.TrendLine = *parsed;
            const LiteralSearchResult found =
                LiteralSearchBaseForLine(sizes[line], state.TrendLine, state.DrawSeries, all, rng);
            out.lineBases[line] = found.tdadi;
            state.ProfitSeries = found.projection;
        }
        out.instanceBases[i] =
            LiteralIntersectLineBases(out.lineBases, checked, lineTolerance, banker).text;
    }
    out.plan = LiteralIntersectInstanceBases(out.instanceBases, x, totalTolerance);
    return out;
}

}  // namespace xuan5::literal
