#include "curves/base_search.h"

#include <algorithm>
#include <limits>

#include "core/random.h"
#include "core/text.h"
#include "curves/profit_curve.h"

namespace xuan5 {

std::vector<int> PickRandomBets(std::vector<int> pool, double n, std::mt19937_64& rng) {
    std::vector<int> picks;
    // U is the highest slot, not the slot count: the element standing there is never taken in
    // that draw, it moves into the taken place instead.
    for (double k = 1; k <= n && !pool.empty(); ++k) {
        const std::size_t highest = pool.size() - 1;
        const auto j = static_cast<std::size_t>(NextUnit(rng) * static_cast<double>(highest));
        picks.push_back(pool[j]);
        pool[j] = pool[highest];
        pool.pop_back();
    }
    return picks;
}

BaseSearchResult SearchBaseForLine(std::string_view wantedSizeText, const TrendLineTable& line,
                                   const DrawKeyTable& keys, std::mt19937_64& rng) {
    const double wanted = LeadingNumber(wantedSizeText);
    BaseSearchResult result;
    BetSet hitKeys;
    BetSet missKeys;
    int hits = 0;
    constexpr double lo = std::numeric_limits<std::int32_t>::min();
    constexpr double hi = std::numeric_limits<std::int32_t>::max();
    for (int i = 1; i <= kHistoryRows; ++i) {
        const int key = keys[i];
        bool hit;
        // A combination drawn more than once follows the decision of its oldest occurrence.
        if (key != 0 && hitKeys.Test(key)) {
            hit = true;
        } else if (key != 0 && missKeys.Test(key)) {
            hit = false;
        } else if (line[i] < result.projection[i - 1]) {
            hit = false;
            if (key != 0) missKeys.Set(key);
        } else {
            hit = true;
            if (key != 0) {
                hitKeys.Set(key);
                ++hits;
            }
        }
        const double next = double(result.projection[i - 1]) + (hit ? kPrize : 0) - kStake * wanted;
        result.projection[i] = static_cast<std::int32_t>(std::clamp(RoundHalfEven(next), lo, hi));
    }

    std::vector<int> pool;
    pool.reserve(kBetCount);
    const BetSet decided = hitKeys | missKeys;
    for (int c = 1; c <= kBetCount; ++c) {
        if (!decided.Test(c)) pool.push_back(c);
    }
    result.bets = hitKeys;
    for (int bet : PickRandomBets(std::move(pool), wanted - hits, rng)) result.bets.Set(bet);
    result.actualCount = result.bets.Count();
    return result;
}

bool ExceedsLineBetLimit(std::string_view wantedSizeText) {
    return LeadingNumber(wantedSizeText) > kMaxLineBets;
}

}  // namespace xuan5
