#include "curves/base_search.h"

#include <gtest/gtest.h>

#include "curves/profit_curve.h"
#include "oracle/literal_curves.h"
#include "support/sample_history.h"

namespace xuan5 {
namespace {

DrawKeyTable KeysOf(const DrawTable& h) {
    return DrawKeysFromSeries(BuildDrawSeries(h));
}

// A history without repeated combinations, so every period is decided on its own.
DrawTable DistinctHistory() {
    DrawTable h{};
    for (int r = 1; r <= kHistoryRows; ++r) {
        h[r].period = PadNumber(r, 3);
        h[r].numbers = BetText(r * 3);
    }
    return h;
}

TEST(BaseSearch, FlatLineDecidesHitMissMissHit) {
    std::mt19937_64 rng(1);
    const DrawKeyTable keys = KeysOf(DistinctHistory());
    const BaseSearchResult r = SearchBaseForLine("230", TrendLineTable{}, keys, rng);
    EXPECT_EQ(r.projection[1], 464);
    EXPECT_EQ(r.projection[2], 4);
    EXPECT_EQ(r.projection[3], -456);
    EXPECT_EQ(r.projection[4], 8);
    EXPECT_TRUE(r.bets.Test(keys[1]));
    EXPECT_FALSE(r.bets.Test(keys[2]));
    EXPECT_FALSE(r.bets.Test(keys[3]));
    EXPECT_TRUE(r.bets.Test(keys[4]));
    EXPECT_EQ(r.actualCount, 230);
    EXPECT_EQ(r.bets.Count(), 230);
}

TEST(BaseSearch, RepeatedComboFollowsOldestDecision) {
    DrawTable h = DistinctHistory();
    h[120].numbers = "01,02,03,04,05";  // oldest period
    h[1].numbers = "05,04,03,02,01";    // newest period, same combination
    const DrawKeyTable keys = KeysOf(h);
    TrendLineTable line{};
    line[1] = 100000;    // the oldest occurrence must rise
    line[120] = -99999;  // the newest would fall on its own
    std::mt19937_64 rng(2);
    const BaseSearchResult r = SearchBaseForLine("0", line, keys, rng);
    EXPECT_TRUE(r.bets.Test(1));
    EXPECT_EQ(r.projection[120] - r.projection[119], 924);
}

TEST(BaseSearch, WantedSizeEdges) {
    const DrawKeyTable keys = KeysOf(DistinctHistory());
    std::mt19937_64 rng(3);
    // N = 0: nothing is staked, so a line that keeps rising makes every period a hit and the
    // base is the hit keys alone.
    TrendLineTable rising{};
    for (int i = 1; i <= kHistoryRows; ++i) rising[i] = 924 * i;
    const BaseSearchResult zero = SearchBaseForLine("abc", rising, keys, rng);
    for (int i = 1; i <= kHistoryRows; ++i) EXPECT_EQ(zero.projection[i], 924 * i);
    EXPECT_EQ(zero.actualCount, 120);

    // A flat line with N = 0: the first period rises, and the projection then stays above it.
    EXPECT_EQ(SearchBaseForLine("0", TrendLineTable{}, keys, rng).actualCount, 1);

    // Hits above N: the base is larger than wanted.
    const BaseSearchResult small = SearchBaseForLine("10", rising, keys, rng);
    EXPECT_EQ(small.actualCount, 120);

    // N beyond everything free: every undecided bet is taken.
    const BaseSearchResult all = SearchBaseForLine(" 9 99 ", TrendLineTable{}, keys, rng);
    BetSet misses;
    for (int i = 1; i <= kHistoryRows; ++i)
        if (!all.bets.Test(keys[i])) misses.Set(keys[i]);
    EXPECT_EQ(all.actualCount + misses.Count(), kBetCount);
}

TEST(BaseSearch, PickingUsesTheHighestSlotAsMultiplier) {
    std::mt19937_64 rng(4);
    // Two slots: slot 0 is always taken first.
    for (int round = 0; round < 50; ++round) {
        EXPECT_EQ(PickRandomBets({7, 9}, 1, rng), std::vector<int>{7});
    }
    EXPECT_EQ(PickRandomBets({7, 9}, 5, rng), (std::vector<int>{7, 9}));
    EXPECT_TRUE(PickRandomBets({}, 5, rng).empty());
    EXPECT_TRUE(PickRandomBets({1, 2, 3}, 0.5, rng).empty());
    EXPECT_EQ(PickRandomBets({1, 2, 3}, 2.5, rng).size(), 2u);
}

TEST(BaseSearch, MatchesTheLiteralVersionDrawForDraw) {
    const AllBetsTable all = BuildAllBets();
    std::mt19937_64 gen(5);
    for (int round = 0; round < 200; ++round) {
        DrawTable h = testing::RandomHistory(gen());
        // Repeats make the oldest-decision rule matter.
        for (int k = 0; k < 10; ++k) h[1 + gen() % 120].numbers = h[1 + gen() % 120].numbers;
        const DrawSeriesTable series = BuildDrawSeries(h);
        const DrawKeyTable keys = DrawKeysFromSeries(series);
        TrendLineTable line{};
        const int shape = round % 4;
        for (int i = 1; i <= 130; ++i) {
            line[i] = shape == 0   ? 0
                      : shape == 1 ? static_cast<int>(gen() % 20001) - 10000
                      : shape == 2 ? i * 40 - 2400
                                   : static_cast<int>(3000 * std::sin(i / 9.0));
        }
        const std::string wanted = std::to_string(gen() % 500) + (round % 7 == 0 ? ".5" : "");
        const std::uint64_t seed = gen();
        std::mt19937_64 a(seed);
        std::mt19937_64 b(seed);
        const BaseSearchResult fast = SearchBaseForLine(wanted, line, keys, a);
        const auto slow = literal::LiteralSearchBaseForLine(wanted, line, series, all, b);
        ASSERT_EQ(RenderBetSet(fast.bets, " "), slow.tdadi) << wanted;
        ASSERT_EQ(fast.actualCount, slow.actualCount);
        ASSERT_EQ(fast.projection, slow.projection);
    }
}

TEST(BaseSearch, LineBetLimit) {
    EXPECT_FALSE(ExceedsLineBetLimit("980"));
    EXPECT_TRUE(ExceedsLineBetLimit("981"));
    EXPECT_TRUE(ExceedsLineBetLimit("980.5"));
    EXPECT_FALSE(ExceedsLineBetLimit("abc"));
}

}  // namespace
}  // namespace xuan5
