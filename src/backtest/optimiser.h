// "寻优": a walk-forward optimiser. Every candidate setting is back-tested over the tested
// periods once; then, span after span, the candidates are ranked on a training span and the best
// few are judged on the test span that follows it, which none of them was chosen on. The spans
// roll forward by the test span's length; a last training span ends at the newest period and
// names the setting to use now.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "backtest/candidate_runs.h"
#include "backtest/chance.h"
#include "backtest/overfitting.h"

namespace xuan5 {

struct OptimiserOptions {
    int periods = 500;  // the last N periods of the archive
    int training = 300;
    int testing = 50;
    int best = 3;  // the best few of every training span, judged on its test span
    OptimiserRank rank = OptimiserRank::Z;
    std::uint64_t seed = 1;
    int threads = 0;                         // 0: one per core
    int blocks = kDefaultOverfittingBlocks;  // S of the probability of overfitting; 0: none
};

// A candidate's figures over a span of periods.
struct SpanFigures {
    int periods = 0;
    int hits = 0;
    long long total = 0;
    ChanceBand chance;
    double HitRate() const { return periods > 0 ? static_cast<double>(hits) / periods : 0; }
};

SpanFigures FiguresOver(const CandidateOutcomes& outcomes, std::size_t candidate, std::size_t first,
                        std::size_t count);

struct FoldPick {
    std::size_t candidate = 0;
    SpanFigures inSample;
    std::optional<SpanFigures> outOfSample;  // unset on the last span, which has no test yet
};

struct Fold {
    // Tested periods, 0 the oldest of the run.
    std::size_t trainFirst = 0;
    std::size_t trainCount = 0;
    std::size_t testFirst = 0;
    std::size_t testCount = 0;    // 0 for the last span
    std::string from;             // "YYYY-MM-DD NNN" of the training span's first period
    std::string to;               // ... and of the last period tested, the test span's or its own
    std::vector<FoldPick> picks;  // the best first
};

struct OptimiserResult {
    std::vector<Message> notices;
    std::vector<Fold> folds;
    // "Always take the in-sample best" over the test spans, period by period.
    std::vector<long long> outOfSampleTotals;  // running
    std::vector<BandPoint> outOfSampleBand;
    SpanFigures outOfSample;
    double inSampleZ = 0;  // the winners' mean z on their own training spans
    std::string verdict;   // one sentence on whether the winners beat chance out of sample
    std::optional<Overfitting> overfitting;  // over every tested period; unset when not asked
};

inline constexpr const char* kMsgOptimiserSpans = "寻优期数须不少于训练期数与检验期数之和";

// The folds and figures of a walk-forward over outcomes already computed. The spans must fit:
// training + testing <= outcomes.periods, both at least 1.
OptimiserResult WalkForward(const CandidateOutcomes& outcomes, const OptimiserOptions& options);

// The plain sentence on the out-of-sample total of the in-sample winners.
std::string OptimiserVerdict(const SpanFigures& outOfSample, int folds, double inSampleZ);

// Back-tests the candidates over the last `options.periods` periods, walks forward over them
// and works out the probability of overfitting over them all. Fails as RunCandidates fails,
// when the archive or the periods asked for cannot hold one training span followed by a test
// span, and as OverfittingProbability fails.
Result<OptimiserResult> RunOptimiser(const std::vector<DatedDraw>& archive,
                                     const BacktestSettings& settings,
                                     const std::vector<OptimiserCandidate>& candidates,
                                     const OptimiserOptions& options, std::atomic<bool>& cancel,
                                     const BacktestProgressFn& progress = {});

}  // namespace xuan5
