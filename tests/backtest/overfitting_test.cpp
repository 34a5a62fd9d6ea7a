#include "backtest/overfitting.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace xuan5 {
namespace {

// Outcomes of `candidates` candidates whose period profits are drawn by `profit(c, p, rng)`
// as a plan size and whether it hit.
template <typename Draw>
CandidateOutcomes Outcomes(std::size_t candidates, std::size_t periods, Draw draw) {
    CandidateOutcomes o;
    o.candidates = candidates;
    o.periods = periods;
    for (std::size_t p = 0; p < periods; ++p) {
        for (std::size_t c = 0; c < candidates; ++c) {
            const auto [size, hit] = draw(c, p);
            o.planSizes.push_back(static_cast<std::int16_t>(size));
            o.hits.push_back(hit ? 1 : 0);
        }
    }
    return o;
}

TEST(Overfitting, HandWorkedFourCandidatesInFourBlocks) {
    // Period (= block) profits of candidates A..D: 922 and -2 a hit and a miss of one bet, 920
    // and -4 of two bets, 0 no bet.
    const long long profit[4][4] = {
        {0, 920, -2, -2}, {0, 922, 0, 0}, {-4, -4, 922, -4}, {0, 922, 0, 0}};
    const CandidateOutcomes o = Outcomes(4, 4, [&](std::size_t c, std::size_t p) {
        const long long v = profit[c][p];
        return std::pair{v == 0 ? 0 : v == 920 || v == -4 ? 2 : 1, v > 0};
    });
    std::atomic<bool> cancel{false};
    const Result<Overfitting> r = OverfittingProbability(o, 4, OptimiserRank::Total, cancel, 2);
    ASSERT_TRUE(r.ok());
    // Training halves {0,1} {2,3} {0,2} {1,3} {0,3} {1,2}. B and D tie on {0,1}, {0,3} and
    // {1,2}, and B, the earlier, wins. On {0,1}'s test half B's 0 ties D's above A and C: rank
    // 2.5 of 4, the median, which is not below it.
    const std::size_t winners[] = {1, 2, 2, 1, 1, 1};
    const double ranks[] = {2.5, 1, 1, 2.5, 3.5, 3.5};  // 1 the lowest of the four
    const long long in[] = {922, 918, 918, 922, 0, 922};
    const long long out[] = {0, -8, -8, 0, 922, 0};
    ASSERT_EQ(r->halvings.size(), 6u);
    for (std::size_t i = 0; i < 6; ++i) {
        const Halving& h = r->halvings[i];
        EXPECT_EQ(h.winner, winners[i]) << i;
        EXPECT_EQ(h.inSample, in[i]) << i;
        EXPECT_EQ(h.outOfSample, out[i]) << i;
        EXPECT_DOUBLE_EQ(h.relativeRank, ranks[i] / 5) << i;
        EXPECT_NEAR(h.logit, std::log(ranks[i] / (5 - ranks[i])), 1e-12) << i;
    }
    EXPECT_DOUBLE_EQ(r->probability, 2.0 / 6);
    EXPECT_DOUBLE_EQ(r->lossShare, 2.0 / 6);
    EXPECT_DOUBLE_EQ(r->meanOutOfSample, 151);
    // Means 767 and 151; sums of products -709590 and of squares 705966.
    EXPECT_NEAR(r->slope, -709590.0 / 705966, 1e-12);
    EXPECT_NEAR(r->intercept, 151 + 767 * 709590.0 / 705966, 1e-9);

    // S odd, above 20, or above the periods is refused.
    for (int blocks : {3, 0, 22, 6}) {
        EXPECT_EQ(OverfittingProbability(o, blocks, OptimiserRank::Total, cancel).messages(),
                  (std::vector<Message>{{kMsgOverfittingBlocks, kTitleErrorNotice}}))
            << blocks;
    }
}

// Seeded synthetic searches of 40 candidates over 320 periods, S = 16, ranked by z: fair draws
// hit a plan of s bets with probability s/462; the planted edge adds 0.2 to it.
TEST(Overfitting, PlantedEdgeNearZeroAndPureNoiseNearHalf) {
    std::atomic<bool> cancel{false};
    const auto search = [&](std::uint64_t seed, bool edge) {
        std::mt19937_64 rng(seed);
        std::uniform_int_distribution<int> sizes(60, 160);
        std::uniform_real_distribution<double> unit(0, 1);
        const CandidateOutcomes o = Outcomes(40, 320, [&](std::size_t c, std::size_t) {
            const int size = sizes(rng);
            const double lift = edge && c == 7 ? 0.2 : 0;
            return std::pair{size, unit(rng) < size / 462.0 + lift};
        });
        return *OverfittingProbability(o, 16, OptimiserRank::Z, cancel);
    };
    // The edge wins nearly every training half and tops the test half: PBO and the share of
    // test halves lost at most 0.05.
    const Overfitting planted = search(2026, true);
    EXPECT_LE(planted.probability, 0.05);
    EXPECT_LE(planted.lossShare, 0.05);
    // Noise: the mean PBO of ten seeds (1..10) within 0.5 ± 0.1, each of them within 0.5 ± 0.35
    // (one matrix's halvings share their data, so a single PBO wanders).
    double mean = 0;
    for (std::uint64_t seed = 1; seed <= 10; ++seed) {
        const double pbo = search(seed, false).probability;
        EXPECT_NEAR(pbo, 0.5, 0.35) << seed;
        mean += pbo / 10;
    }
    EXPECT_NEAR(mean, 0.5, 0.1);
}

}  // namespace
}  // namespace xuan5
