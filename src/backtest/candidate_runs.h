// Many candidate settings back-tested together over the same periods. Each period's small bases
// depend on the saved lines, the bet counts, the period's history and its generator, not on the
// tolerances or on which lines take part: they are searched once per period, instance and set of
// bet counts, and a candidate then costs set operations on them. A candidate's plans are the
// ones RunBacktest makes for WithCandidate(settings, candidate) alone, period by period.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "backtest/batch.h"
#include "backtest/candidates.h"
#include "backtest/walk_forward.h"

namespace xuan5 {

// Plan size and hit of every candidate in every tested period.
struct CandidateOutcomes {
    std::size_t candidates = 0;
    std::size_t periods = 0;              // tested periods, oldest first
    std::size_t firstArchive = 0;         // archive index of the first tested period
    std::vector<std::int16_t> planSizes;  // [period * candidates + candidate]
    std::vector<std::uint8_t> hits;

    int PlanSize(std::size_t candidate, std::size_t period) const {
        return planSizes[period * candidates + candidate];
    }
    bool Hit(std::size_t candidate, std::size_t period) const {
        return hits[period * candidates + candidate] != 0;
    }
};

// How candidates are compared over a span.
enum class OptimiserRank {
    Total,  // the highest total
    Z,      // the total furthest above chance, in standard deviations of chance
};

// A candidate's score over a span: its total, or how far that stands above chance.
inline double SpanScore(OptimiserRank rank, const ChanceSums& chance, long long total) {
    return rank == OptimiserRank::Total ? static_cast<double>(total) : JudgeTotal(chance, total).z;
}

struct CandidateRuns {
    std::vector<Message> notices;  // as RunBacktest reports them
    CandidateOutcomes outcomes;
};

// Tests every candidate over the last `options.periods` periods of the archive, the periods on
// `options.threads` threads, checking `cancel` between periods; `progress` counts periods.
// Fails as RunBacktest fails (too few draws, a bad draw, an X the plan panel refuses), and
// without messages when cancelled.
Result<CandidateRuns> RunCandidates(const std::vector<DatedDraw>& archive,
                                    const BacktestSettings& settings,
                                    const std::vector<OptimiserCandidate>& candidates,
                                    const BacktestOptions& options, std::atomic<bool>& cancel,
                                    const BacktestProgressFn& progress = {});

}  // namespace xuan5
