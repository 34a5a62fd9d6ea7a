// The curve algorithms written the literal way, with substring searches on texts. They are the
// reference that the set-based engine is checked against and the baseline it is measured by.
#pragma once

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "core/random.h"
#include "core/text.h"
#include "curves/base_search.h"
#include "oracle/literal_state.h"

namespace xuan5::literal {

inline bool InStr(const std::string& text, const std::string& needle) {
    return text.find(needle) != std::string::npos;
}

inline ProfitSeriesTable LiteralComputeProfitSeries(const std::string& baseText,
                                                    const DrawSeriesTable& series) {
    const std::string text(TrimSpaces(baseText));
    const int bets = static_cast<int>(SplitText(text, " ").size());
    ProfitSeriesTable profit{};
    for (int i = 1; i <= kHistoryRows; ++i) {
        const bool hit = InStr(text, series[i]);
        profit[i] = profit[i - 1] + (hit ? 924 : 0) - 2 * bets;
    }
    return profit;
}

inline std::string LiteralPickRandomBets(const std::string& poolText, double n,
                                         std::mt19937_64& rng) {
    std::vector<std::string> slots;
    for (auto piece : SplitText(poolText, " ")) slots.emplace_back(piece);
    long long u = static_cast<long long>(slots.size()) - 1;
    std::string result;
    for (double k = 1; k <= n && u >= 0; ++k) {
        const double r = NextUnit(rng);
        const auto j = static_cast<long long>(r * static_cast<double>(u));
        result += slots[j] + " ";
        slots[j] = slots[u];
        slots.pop_back();
        --u;
    }
    return std::string(TrimSpaces(result));
}

struct LiteralSearchResult {
    std::string tdadi;
    int actualCount = 0;
    ProfitSeriesTable projection{};
};

inline LiteralSearchResult LiteralSearchBaseForLine(const std::string& wantedSizeText,
                                                    const TrendLineTable& line,
                                                    const DrawSeriesTable& series,
                                                    const AllBetsTable& allBets,
                                                    std::mt19937_64& rng) {
    const double n = LeadingNumber(wantedSizeText);
    LiteralSearchResult out;
    std::string hitKeys;
    std::string missKeys;
    int hits = 0;
    for (int i = 1; i <= kHistoryRows; ++i) {
        const std::string& key = series[i];
        bool hit;
        if (InStr(hitKeys, key)) {
            hit = true;
        } else if (InStr(missKeys, key)) {
            hit = false;
        } else if (line[i] < out.projection[i - 1]) {
            hit = false;
            missKeys += key + " ";
        } else {
            hit = true;
            hitKeys += key + " ";
            ++hits;
        }
        out.projection[i] = static_cast<std::int32_t>(
            std::nearbyint(out.projection[i - 1] + (hit ? 924 : 0) - 2 * n));
    }
    std::string pool;
    for (int c = 1; c <= kBetCount; ++c) {
        if (!InStr(missKeys, allBets[c]) && !InStr(hitKeys, allBets[c])) pool += allBets[c] + " ";
    }
    const std::string picks = LiteralPickRandomBets(std::string(TrimSpaces(pool)), n - hits, rng);
    for (int c = 1; c <= kBetCount; ++c) {
        if (InStr(picks, allBets[c]) || InStr(hitKeys, allBets[c])) {
            if (!out.tdadi.empty()) out.tdadi += " ";
            out.tdadi += allBets[c];
            ++out.actualCount;
        }
    }
    return out;
}

}  // namespace xuan5::literal
