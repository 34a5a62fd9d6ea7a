// "过拟合概率": the probability of back-test overfitting (Bailey, Borwein, López de Prado and Zhu,
// "The Probability of Backtest Overfitting", 2015), by combinatorially symmetric
// cross-validation. The tested periods are cut into S equal blocks; every choice of S/2 of them
// is a training half and the other blocks its test half. The candidate ranked best on the
// training half is looked up among all candidates on the test half. A search that finds a real
// edge sends its winners to the top of the test half; one that only fits noise sends them below
// the median about as often as above.
#pragma once

#include <atomic>
#include <cstddef>
#include <string>
#include <vector>

#include "backtest/candidate_runs.h"

namespace xuan5 {

inline constexpr int kDefaultOverfittingBlocks = 16;
// C(20, 10) = 184,756 halvings: beyond that the count grows twenty-fold per step.
inline constexpr int kMaxOverfittingBlocks = 20;
inline constexpr const char* kMsgOverfittingBlocks =
    "过拟合概率的分块数须为2到20的偶数，且不多于寻优期数";

// One halving: the training half's best candidate and where it stood on the test half.
struct Halving {
    std::size_t winner = 0;
    long long inSample = 0;     // its total on the training half
    long long outOfSample = 0;  // its total on the test half
    // Its rank among all candidates' test totals, 1 the lowest, ties sharing their middle rank,
    // divided by the candidates + 1: in (0, 1), 1/2 the median.
    double relativeRank = 0;
    double logit = 0;  // ln(r / (1 - r)): negative when the winner fell below the median
};

struct Overfitting {
    int blocks = 0;
    OptimiserRank rank = OptimiserRank::Z;  // how the training halves picked their best
    int blockPeriods = 0;                   // periods in each block
    int leftOut = 0;  // the oldest tested periods, too few to fill a block of their own
    // Every halving, in pairs: a training half holding the oldest block, then its mirror.
    std::vector<Halving> halvings;
    double probability = 0;  // the share of halvings whose logit is below 0 (not at it)
    // The winners on their test halves: the mean total and the share of halvings it was a loss.
    double meanOutOfSample = 0;
    double lossShare = 0;
    // Least squares of the winners' test totals on their training totals: what a training
    // edge is worth on the test half. 0 when every training total is the same. The halves of
    // one candidate share its whole total, so its own points alone lie on a slope of -1.
    double slope = 0;
    double intercept = 0;
};

// Whether S = `blocks` can cut `periods` tested periods: even, 2 to kMaxOverfittingBlocks, and
// no more than the periods.
bool OverfittingBlocksFit(int blocks, std::size_t periods);

// Fails with kMsgOverfittingBlocks unless the blocks fit the tested periods, and without
// messages when cancelled. Candidates are ranked on the
// training half by `rank`, ties going to the earlier candidate, as the walk-forward ranks them.
Result<Overfitting> OverfittingProbability(const CandidateOutcomes& outcomes, int blocks,
                                           OptimiserRank rank, std::atomic<bool>& cancel,
                                           int threads = 0);

// The plain sentences on the probability and the test halves, for a search over `candidates`.
std::string OverfittingText(const Overfitting& overfitting, std::size_t candidates);

}  // namespace xuan5
