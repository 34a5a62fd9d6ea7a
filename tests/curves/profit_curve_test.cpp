#include "curves/profit_curve.h"

#include <gtest/gtest.h>

#include "oracle/literal_curves.h"
#include "support/sample_history.h"

namespace xuan5 {
namespace {

struct Loaded {
    DrawSeriesTable series;
    DrawKeyTable keys;
};

Loaded Load(const DrawTable& history) {
    Loaded l;
    l.series = BuildDrawSeries(history);
    l.keys = DrawKeysFromSeries(l.series);
    return l;
}

TEST(ProfitCurve, StakeAndPrize) {
    DrawTable h = testing::RandomHistory(1);
    for (int r = 1; r <= kHistoryRows; ++r) h[r].numbers = "01,02,03,04,05";
    h[1].numbers = "11,10,09,08,07";  // newest period only
    const Loaded l = Load(h);

    EXPECT_EQ(ComputeProfitSeries("", l.keys), ProfitSeriesTable{});
    const ProfitSeriesTable all = ComputeProfitSeries(RenderBetSet(FullBetSet(), " "), l.keys);
    EXPECT_EQ(all, ProfitSeriesTable{});

    const ProfitSeriesTable once = ComputeProfitSeries(" 07,08,09,10,11 ", l.keys);
    EXPECT_EQ(once[119], -238);
    EXPECT_EQ(once[120], -240 + 924);
    EXPECT_EQ(ComputeProfitSeries("06,07,08,09,10", l.keys)[120], -240);

    // Two spaces make three fields: stake 6 per period.
    EXPECT_EQ(ComputeProfitSeries("06,07,08,09,10  07,08,09,10,11", l.keys)[1], -6);
    EXPECT_EQ(StakedBetCount("a  b"), 3);

    // 230 bets: -460 per miss, +464 per hit.
    BetSet base;
    for (int b = 1; b <= 230; ++b) base.Set(b);  // contains 01,02,03,04,05
    const ProfitSeriesTable s = ComputeProfitSeries(RenderBetSet(base, " "), l.keys);
    EXPECT_EQ(s[1], 464);
    EXPECT_EQ(s[120] - s[119], -460);
}

TEST(ProfitCurve, NoKeysNeverHit) {
    const ProfitSeriesTable s = ComputeProfitSeries("01,02,03,04,05", DrawKeyTable{});
    EXPECT_EQ(s[120], -240);
}

TEST(ProfitCurve, MatchesTheLiteralSubstringVersion) {
    std::mt19937_64 rng(11);
    const AllBetsTable all = BuildAllBets();
    for (int round = 0; round < 300; ++round) {
        const Loaded l = Load(testing::RandomHistory(rng()));
        std::string text;
        const int count = static_cast<int>(rng() % 470);
        for (int k = 0; k < count; ++k) {
            if (k) text += rng() % 20 == 0 ? "  " : " ";
            text +=
                rng() % 2 ? all[1 + rng() % kBetCount] : BetText(l.keys[1 + rng() % kHistoryRows]);
        }
        if (rng() % 5 == 0) text = "  " + text + " ";
        ASSERT_EQ(ComputeProfitSeries(text, l.keys),
                  literal::LiteralComputeProfitSeries(text, l.series))
            << text;
    }
}

}  // namespace
}  // namespace xuan5
