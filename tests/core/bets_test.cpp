#include "core/bets.h"

#include <gtest/gtest.h>

#include <random>

namespace xuan5 {
namespace {

TEST(Bets, UniverseIsLexicographic) {
    const AllBetsTable all = BuildAllBets();
    EXPECT_EQ(all[0], "");
    EXPECT_EQ(all[1], "01,02,03,04,05");
    EXPECT_EQ(all[2], "01,02,03,04,06");
    EXPECT_EQ(all[7], "01,02,03,04,11");
    EXPECT_EQ(all[8], "01,02,03,05,06");
    EXPECT_EQ(all[462], "07,08,09,10,11");
    for (int k = 2; k <= kBetCount; ++k) EXPECT_LT(all[k - 1], all[k]);
    for (int k = 1; k <= kBetCount; ++k) EXPECT_EQ(BetFromText(all[k]), k);
}

TEST(Bets, OnlyCanonicalTextsAreBets) {
    EXPECT_EQ(BetFromText("01,02,03,04,05"), 1);
    EXPECT_EQ(BetFromText("02,01,03,04,05"), 0);  // not ascending
    EXPECT_EQ(BetFromText("01,01,03,04,05"), 0);  // repeated
    EXPECT_EQ(BetFromText("01,02,03,04,12"), 0);  // out of range
    EXPECT_EQ(BetFromText("00,02,03,04,05"), 0);
    EXPECT_EQ(BetFromText("01 02 03 04 05"), 0);
    EXPECT_EQ(BetFromText("1,2,3,4,5"), 0);
}

// The set built from a text must answer exactly what a substring search answers.
TEST(Bets, SetFromTextMatchesSubstringRule) {
    const AllBetsTable all = BuildAllBets();
    std::mt19937_64 rng(7);
    const std::string alphabet = "0123456789,, \r\n*";
    for (int round = 0; round < 300; ++round) {
        std::string text;
        const int pieces = static_cast<int>(rng() % 40);
        for (int p = 0; p < pieces; ++p) {
            if (rng() % 3 == 0) {
                for (int c = static_cast<int>(rng() % 6); c > 0; --c)
                    text += alphabet[rng() % alphabet.size()];
            } else {
                std::string bet = all[1 + rng() % kBetCount];
                // Cut bets sometimes, so windows straddle two of them.
                text += rng() % 4 == 0 ? bet.substr(rng() % 14) : bet;
            }
        }
        const BetSet set = BetSetFromText(text);
        for (int k = 1; k <= kBetCount; ++k) {
            ASSERT_EQ(set.Test(k), text.find(all[k]) != std::string::npos) << text << " / " << k;
        }
    }
}

TEST(Bets, RenderListsMembersInOrder) {
    BetSet set;
    set.Set(462);
    set.Set(1);
    set.Set(8);
    EXPECT_EQ(RenderBetSet(set, " "), "01,02,03,04,05 01,02,03,05,06 07,08,09,10,11");
    EXPECT_EQ(RenderBetSet(set, "\r\n"), "01,02,03,04,05\r\n01,02,03,05,06\r\n07,08,09,10,11");
    EXPECT_EQ(RenderBetSet(BetSet{}, " "), "");
    EXPECT_EQ(FullBetSet().Count(), kBetCount);
    EXPECT_EQ(BetSetFromText(RenderBetSet(FullBetSet(), "")), FullBetSet());
}

}  // namespace
}  // namespace xuan5
