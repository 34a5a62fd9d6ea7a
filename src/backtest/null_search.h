// "随机对照": the same search run on simulated fair archives. A search over many settings always
// finds winners on past draws; how good a winner looks is only news when a search over pure
// chance seldom does as well. Each fair archive keeps the real one's dates, periods and length,
// so its periods are planned with the same generators, and has every draw replaced by one drawn
// uniformly from the 462 with a seed of its own. The candidates, spans, ranking and best few
// are the real run's.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "backtest/optimiser.h"

namespace xuan5 {

inline constexpr int kDefaultNullRuns = 200;
inline constexpr int kMaxNullRuns = 2000;

// What the null compares of a search.
struct SearchFigures {
    long long outOfSample = 0;  // the walk-forward's total out of sample
    double bestZ = 0;           // the z of the newest training span's best, the setting to use
    friend bool operator==(const SearchFigures&, const SearchFigures&) = default;
};

SearchFigures FiguresOfSearch(const OptimiserResult& result);

// The seed of fair archive `run` (0-based) of a search seeded with `seed`.
std::uint64_t NullRunSeed(std::uint64_t seed, int run);

// The archive with every draw replaced by a fair one drawn with `seed`.
std::vector<DatedDraw> FairArchive(const std::vector<DatedDraw>& archive, std::uint64_t seed);

// The search of RunOptimiser on `runs` fair archives of `archive`, the runs spread over
// `options.threads` threads; `progress` counts runs. Fails as RunOptimiser fails, and without
// messages when cancelled.
Result<std::vector<SearchFigures>> RunNullSearches(
    const std::vector<DatedDraw>& archive, const BacktestSettings& settings,
    const std::vector<OptimiserCandidate>& candidates, const OptimiserOptions& options, int runs,
    std::atomic<bool>& cancel, const BacktestProgressFn& progress = {});

// Where the real search stands among the null runs: the shares that did strictly better.
struct NullStanding {
    int runs = 0;
    double betterOutOfSample = 0;
    double higherZ = 0;
};

NullStanding StandingAmong(const SearchFigures& real, const std::vector<SearchFigures>& null);

// The verdict on the search: where it stands among the null runs, in plain words.
std::string NullVerdict(const SearchFigures& real, const NullStanding& standing);

}  // namespace xuan5
