#include "curves/base_search.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

#include "core/text.h"
#include "curves/profit_curve.h"

namespace xuan5 {
namespace {

// The words of a BetSet holding bets 1..462.
constexpr std::array<std::uint64_t, 8> kEveryBet = [] {
    std::array<std::uint64_t, 8> words{};
    for (int bet = 1; bet <= kBetCount; ++bet) words[bet >> 6] |= std::uint64_t{1} << (bet & 63);
    return words;
}();

// Below this stake per period the projection's running sums over 120 periods stay far inside
// 32 bits, so whole numbers need neither rounding nor clamping.
constexpr double kWholeStakeLimit = 10'000'000;

// Decides each period oldest first and writes the projection with `next(previous, hit)`;
// returns the number of hit keys.
template <typename Next>
int DecidePeriods(const TrendLineTable& line, const DrawKeyTable& keys, BetSet& hitKeys,
                  BetSet& missKeys, ProfitSeriesTable& projection, Next next) {
    int hits = 0;
    for (int i = 1; i <= kHistoryRows; ++i) {
        const int key = keys[i];
        bool hit;
        // A combination drawn more than once follows the decision of its oldest occurrence.
        if (key != 0 && hitKeys.Test(key)) {
            hit = true;
        } else if (key != 0 && missKeys.Test(key)) {
            hit = false;
        } else if (line[i] < projection[i - 1]) {
            hit = false;
            if (key != 0) missKeys.Set(key);
        } else {
            hit = true;
            if (key != 0) {
                hitKeys.Set(key);
                ++hits;
            }
        }
        projection[i] = next(projection[i - 1], hit);
    }
    return hits;
}

}  // namespace

std::vector<int> PickRandomBets(std::vector<int> pool, double n, std::mt19937_64& rng) {
    std::vector<int> picks;
    detail::PickFromPool(pool.data(), pool.size(), n, rng, [&](int bet) { picks.push_back(bet); });
    return picks;
}

LineDecisions DecideLine(std::string_view wantedSizeText, const TrendLineTable& line,
                         const DrawKeyTable& keys) {
    LineDecisions d;
    d.wanted = LeadingNumber(wantedSizeText);
    BetSet missKeys;
    const double stake = kStake * d.wanted;
    if (stake == std::floor(stake) && std::abs(stake) <= kWholeStakeLimit) {
        const auto whole = static_cast<std::int32_t>(stake);
        d.hits = DecidePeriods(line, keys, d.hitKeys, missKeys, d.projection,
                               [whole](std::int32_t previous, bool hit) {
                                   return previous + (hit ? kPrize : 0) - whole;
                               });
    } else {
        d.hits = DecidePeriods(
            line, keys, d.hitKeys, missKeys, d.projection,
            [stake](std::int32_t previous, bool hit) {
                const double lo = std::numeric_limits<std::int32_t>::min();
                const double hi = std::numeric_limits<std::int32_t>::max();
                const double next = double(previous) + (hit ? kPrize : 0) - stake;
                return static_cast<std::int32_t>(std::clamp(RoundHalfEven(next), lo, hi));
            });
    }
    for (std::size_t w = 0; w < kEveryBet.size(); ++w) {
        std::uint64_t bits = kEveryBet[w] & ~(d.hitKeys.words[w] | missKeys.words[w]);
        for (; bits != 0; bits &= bits - 1) {
            d.pool[d.free++] = static_cast<int>(w * 64) + std::countr_zero(bits);
        }
    }
    return d;
}

BaseSearchResult SearchBaseForLine(std::string_view wantedSizeText, const TrendLineTable& line,
                                   const DrawKeyTable& keys, std::mt19937_64& rng) {
    const LineDecisions decisions = DecideLine(wantedSizeText, line, keys);
    BaseSearchResult result;
    result.bets = FillBase(decisions, rng);
    result.actualCount = result.bets.Count();
    result.projection = decisions.projection;
    return result;
}

bool ExceedsLineBetLimit(std::string_view wantedSizeText) {
    return LeadingNumber(wantedSizeText) > kMaxLineBets;
}

}  // namespace xuan5
