// The base search: a base whose profit curve follows a trend line.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "core/bets.h"
#include "core/random.h"
#include "core/tables.h"

namespace xuan5 {

inline constexpr double kMaxLineBets = 980;
inline constexpr const char* kMsgTooManyBets = "注数不能多于980注";
inline constexpr const char* kTooManyBetsReplacement = "400";

struct BaseSearchResult {
    BetSet bets;  // the base; render with RenderBetSet(bets, " ") for the drawing panel's base box
    int actualCount = 0;             // the bets it holds, shown as the base size
    ProfitSeriesTable projection{};  // the search's own projection, written to ProfitSeries
};

// Decides each period oldest first (a repeated combination follows its oldest decision), then
// fills the base up to the wanted size with random free bets. `wantedSizeText` is read as its
// leading number.
BaseSearchResult SearchBaseForLine(std::string_view wantedSizeText, const TrendLineTable& line,
                                   const DrawKeyTable& keys, std::mt19937_64& rng);

// The search in its two steps, for runs that search the same line over the same keys many
// times with one generator: the decisions draw nothing from it.
struct LineDecisions {
    double wanted = 0;
    BetSet hitKeys;  // the combinations of the periods decided as hits
    int hits = 0;
    ProfitSeriesTable projection{};
    std::size_t free = 0;
    std::array<int, kBetCount> pool;  // the undecided bets in AllBets order: pool[0, free)
};

LineDecisions DecideLine(std::string_view wantedSizeText, const TrendLineTable& line,
                         const DrawKeyTable& keys);

namespace detail {

// The picking rule over a pool held in `pool[0, size)`, each pick handed to `take`. U is the
// highest slot, not the slot count: the element standing there is never taken in that draw, it
// moves into the taken place instead.
template <typename Generator, typename Take>
void PickFromPool(int* pool, std::size_t size, double n, Generator& rng, Take take) {
    for (double k = 1; k <= n && size > 0; ++k) {
        const std::size_t highest = size - 1;
        // The slot's conversions go through signed integers, as NextUnit's do.
        const double unit = NextUnit(rng);
        const auto j = static_cast<std::size_t>(static_cast<std::int64_t>(
            unit * static_cast<double>(static_cast<std::int64_t>(highest))));
        take(pool[j]);
        pool[j] = pool[highest];
        size = highest;
    }
}

}  // namespace detail

// The hit keys and the random picks from the pool: the base of SearchBaseForLine. Any
// generator of std::mt19937_64's numbers will do.
template <typename Generator>
BetSet FillBase(const LineDecisions& decisions, Generator& rng) {
    std::array<int, kBetCount> pool = decisions.pool;
    BetSet bets = decisions.hitKeys;
    detail::PickFromPool(pool.data(), decisions.free, decisions.wanted - decisions.hits, rng,
                         [&](int bet) { bets.Set(bet); });
    return bets;
}

// Picks from the pool (bet numbers in slot order) while k <= n and the pool is not empty:
// j = int(r * U) with U the highest slot; slot j is taken and slot U moves into its place.
std::vector<int> PickRandomBets(std::vector<int> pool, double n, std::mt19937_64& rng);

// Whether a line's wanted-size box holds more than 980 (then: message, text "400").
bool ExceedsLineBetLimit(std::string_view wantedSizeText);

}  // namespace xuan5
