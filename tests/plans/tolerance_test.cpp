#include "plans/tolerance.h"

#include <gtest/gtest.h>

#include "plans/plan_fixture.h"

#include <random>

#include "oracle/literal_plans.h"
#include "plans/random_texts.h"

namespace xuan5 {
namespace {

using testing::Chance;
using testing::RandomBankers;
using testing::RandomBase;
using testing::RandomTolerance;
using testing::Uniform;

std::vector<int> Accepted(std::string_view text, int maxCount, HitCode code) {
    return AcceptedCountsFromText(text, maxCount, code).counts;
}

TEST(Tolerance, CodesAreFoundAsSubstrings) {
    using V = std::vector<int>;
    EXPECT_EQ(Accepted("03.04.05", 15, HitCode::TwoDigit), (V{3, 4, 5}));
    EXPECT_EQ(Accepted("10.11", 15, HitCode::TwoDigit), (V{10, 11}));
    // Without the dot the code 01 occurs inside "1011".
    EXPECT_EQ(Accepted("1011", 15, HitCode::TwoDigit), (V{1, 10, 11}));
    EXPECT_EQ(Accepted("00", 15, HitCode::TwoDigit), (V{0}));
    EXPECT_EQ(Accepted("", 15, HitCode::TwoDigit), V{});
    EXPECT_EQ(Accepted("01..02", 15, HitCode::TwoDigit), (V{1, 2}));
    EXPECT_EQ(Accepted("5", 15, HitCode::TwoDigit), V{});
    // Counts above the largest possible one are not asked about.
    EXPECT_EQ(Accepted("03.16", 15, HitCode::TwoDigit), (V{3}));
    EXPECT_EQ(Accepted("123", 3, HitCode::Plain), (V{1, 2, 3}));
    EXPECT_EQ(Accepted("12", 3, HitCode::Plain), (V{1, 2}));
    EXPECT_EQ(Accepted("01.02", 3, HitCode::Plain), (V{0, 1, 2}));
    EXPECT_EQ(Accepted("123", 200, HitCode::Plain), (V{1, 2, 3, 12, 23, 123}));
    EXPECT_EQ(HitCodeText(3, HitCode::TwoDigit), "03");
    EXPECT_EQ(HitCodeText(123, HitCode::TwoDigit), "123");
    EXPECT_EQ(HitCodeText(3, HitCode::Plain), "3");
    const AcceptedCounts counts = AcceptedCountsFromText("05", 10, HitCode::TwoDigit);
    EXPECT_TRUE(counts.Accepts(5));
    EXPECT_FALSE(counts.Accepts(4));
    EXPECT_FALSE(counts.Accepts(11));
    EXPECT_FALSE(counts.Accepts(-1));
}

TEST(Tolerance, AcceptedCountsMatchLiteralSearchOnRandomTexts) {
    std::mt19937_64 rng(11);
    for (int round = 0; round < 3000; ++round) {
        const bool twoDigit = Chance(rng, 50);
        const int maxCount = Uniform(rng, 0, 120);
        const std::string text = RandomTolerance(rng, maxCount, twoDigit);
        const AcceptedCounts counts =
            AcceptedCountsFromText(text, maxCount, twoDigit ? HitCode::TwoDigit : HitCode::Plain);
        for (int k = 0; k <= maxCount; ++k) {
            const std::string code = twoDigit ? literal::TwoDigitCode(k) : literal::PlainCode(k);
            ASSERT_EQ(counts.Accepts(k), literal::Occurs(text, code)) << text << " / " << k;
        }
    }
}

TEST(Tolerance, HitCountsCountEveryBetExactly) {
    std::mt19937_64 rng(5);
    for (int round = 0; round < 60; ++round) {
        const int bases = Uniform(rng, 0, 40);
        std::vector<BetSet> sets(bases);
        HitCounts counts;
        for (auto& set : sets) {
            for (int bet = 1; bet <= kBetCount; ++bet) {
                if (Chance(rng, 70)) set.Set(bet);
            }
            AddBase(counts, set);
        }
        ASSERT_EQ(counts.bases, bases);
        for (int bet = 1; bet <= kBetCount; ++bet) {
            int expected = 0;
            for (const auto& set : sets) expected += set.Test(bet) ? 1 : 0;
            ASSERT_EQ(HitCountOf(counts, bet), expected);
            for (int k : {expected - 1, expected, expected + 1}) {
                ASSERT_EQ(BetsWithCount(counts, k).Test(bet), k == expected);
            }
        }
        // Bit 0 and the bits past bet 462 never belong to a result.
        const BetSet none = BetsWithCount(counts, 0);
        EXPECT_FALSE(none.Test(0));
        EXPECT_EQ(none.words[7] >> (kBetCount + 1 - 448), 0u);
    }
}

TEST(Tolerance, BankerCountFollowsPiecesLiterally) {
    const auto defaults = BankerCounts("02.04.06.08.10");
    EXPECT_EQ(defaults[BetFromText("01,02,03,04,05")], 2);
    EXPECT_EQ(defaults[BetFromText("01,03,05,07,09")], 0);
    EXPECT_EQ(defaults[BetFromText("02,04,06,08,10")], 5);
    EXPECT_EQ(BankerCounts("")[1], 0);
    // A trailing dot adds an empty piece, which occurs in every bet.
    const auto trailing = BankerCounts("02.04.");
    EXPECT_EQ(trailing[BetFromText("01,02,03,04,05")], 3);
    EXPECT_EQ(trailing[BetFromText("01,03,05,07,09")], 1);
    EXPECT_EQ(BankerCounts("..")[200], 3);
    // "1" occurs in bets holding 01, 10 or 11.
    const auto one = BankerCounts("1");
    EXPECT_EQ(one[BetFromText("01,02,03,04,05")], 1);
    EXPECT_EQ(one[BetFromText("02,03,04,05,06")], 0);
    EXPECT_EQ(one[BetFromText("02,03,04,05,10")], 1);
    // Pieces may span the comma, and repeated pieces count each time.
    EXPECT_EQ(BankerCounts("03,04")[BetFromText("01,02,03,04,05")], 1);
    EXPECT_EQ(BankerCounts("02.02")[BetFromText("01,02,03,04,05")], 2);
    EXPECT_EQ(BankerCounts(" 02")[BetFromText("01,02,03,04,05")], 0);

    BankerSettings settings;
    EXPECT_EQ(BankerPassSet(settings), FullBetSet());  // off
    settings.enabled = true;
    const BetSet pass = BankerPassSet(settings);
    EXPECT_TRUE(pass.Test(BetFromText("01,02,03,04,05")));
    EXPECT_FALSE(pass.Test(BetFromText("01,03,05,07,09")));
    EXPECT_FALSE(pass.Test(BetFromText("02,04,06,08,10")));
    settings.numbers = "";
    settings.tolerance = "0";
    EXPECT_EQ(BankerPassSet(settings), FullBetSet());
}

TEST(Tolerance, BankerCountsMatchLiteralPieces) {
    std::mt19937_64 rng(21);
    const AllBetsTable all = BuildAllBets();
    for (int round = 0; round < 600; ++round) {
        const std::string bankers = RandomBankers(rng);
        const auto counts = BankerCounts(bankers);
        const auto pieces = literal::SplitDots(bankers);
        for (int bet = 1; bet <= kBetCount; ++bet) {
            int expected = 0;
            for (const auto& piece : pieces) expected += literal::Occurs(all[bet], piece);
            ASSERT_EQ(counts[bet], expected) << bankers << " / " << all[bet];
        }
    }
}

// The whole rule with random bases, tolerances and banker settings, against the text search.
TEST(Tolerance, RuleMatchesLiteralSearchOnRandomInputs) {
    std::mt19937_64 rng(1234);
    for (int round = 0; round < 1500; ++round) {
        const int baseCount = Uniform(rng, 0, 8);
        const bool twoDigit = Chance(rng, 60);
        std::vector<std::string> texts;
        std::vector<BetSet> sets;
        for (int i = 0; i < baseCount; ++i) {
            // Some bases share many bets so that high counts occur.
            texts.push_back(i > 0 && Chance(rng, 30) ? texts[0] + RandomBase(rng, 10)
                                                     : RandomBase(rng));
            sets.push_back(BetSetFromText(texts.back()));
        }
        const std::string tolerance = RandomTolerance(rng, baseCount, twoDigit);
        BankerSettings banker;
        banker.enabled = Chance(rng, 50);
        banker.numbers = RandomBankers(rng);
        banker.tolerance = RandomTolerance(rng, 6, false);

        const BetSet fast =
            ApplyToleranceRule(sets, tolerance, twoDigit ? HitCode::TwoDigit : HitCode::Plain) &
            BankerPassSet(banker);
        const auto expected = literal::LiteralToleranceRule(
            texts, tolerance, twoDigit, {banker.enabled, banker.numbers, banker.tolerance});
        const PlanBaseText rendered = RenderPlanBase(fast);
        ASSERT_EQ(rendered.text, expected.text) << "tolerance " << tolerance << " bankers "
                                                << banker.numbers << " / " << banker.tolerance;
        ASSERT_EQ(rendered.count, std::to_string(expected.count));
    }
}

TEST(Tolerance, PlanBaseTextHasNoTrailingBreak) {
    // Bases list their bets in any order; the result follows the AllBets order.
    const std::vector<BetSet> bases = {BetSetFromText("07,08,09,10,11 01,02,03,04,05"),
                                       BetSetFromText("01,02,03,04,05*07,08,09,10,11")};
    const PlanBaseText plan = RenderPlanBase(ApplyToleranceRule(bases, "02", HitCode::TwoDigit));
    EXPECT_EQ(plan.text, "01,02,03,04,05\r\n07,08,09,10,11");
    EXPECT_EQ(plan.count, "2");
    // The same bet twice in one base counts once.
    const std::vector<BetSet> twice = {BetSetFromText("01,02,03,04,05 01,02,03,04,05")};
    EXPECT_EQ(RenderPlanBase(ApplyToleranceRule(twice, "02", HitCode::TwoDigit)).count, "0");
    const PlanBaseText none = RenderPlanBase(ApplyToleranceRule(twice, "", HitCode::TwoDigit));
    EXPECT_EQ(none.text, "");
    EXPECT_EQ(none.count, "0");
}

TEST(BackupBases, ToleranceCountsTheNonEmptyBoxes) {
    BackupBasesInput input;
    input.boxes = {"01,02,03,04,05\r\n05,06,07,08,09\r\n", "01,02,03,04,05", "  "};
    input.tolerance = "12";
    BackupBasesOutput out = IntersectBackupBases(input);
    EXPECT_EQ(out.bets, "01,02,03,04,05\r\n05,06,07,08,09");
    EXPECT_EQ(out.count, "2");

    input.tolerance = "2";
    EXPECT_EQ(IntersectBackupBases(input).bets, "01,02,03,04,05");
    // Two-digit codes with a dot also hold the plain code 0: bets in no box are kept too.
    input.tolerance = "01.02";
    out = IntersectBackupBases(input);
    EXPECT_EQ(out.count, "462");
    // Only the two non-empty boxes count, so 3 is never reached.
    input.tolerance = "3";
    out = IntersectBackupBases(input);
    EXPECT_EQ(out.bets, "");
    EXPECT_EQ(out.count, "0");

    input.tolerance = "   ";
    out = IntersectBackupBases(input);
    EXPECT_EQ(out.bets, "请写容对数值");
    EXPECT_FALSE(out.count.has_value());
}

TEST(BackupBases, MatchesLiteralSearchOnRandomBoxes) {
    std::mt19937_64 rng(77);
    for (int round = 0; round < 1000; ++round) {
        BackupBasesInput input;
        for (auto& box : input.boxes) box = Chance(rng, 20) ? "" : RandomBase(rng, 40);
        input.tolerance = RandomTolerance(rng, 3, false);
        const BackupBasesOutput out = IntersectBackupBases(input);
        const auto expected = literal::LiteralIntersectBackupBases(input.boxes, input.tolerance);
        ASSERT_EQ(out.bets, expected.text) << input.tolerance;
        if (expected.count < 0) {
            ASSERT_FALSE(out.count.has_value());
        } else {
            ASSERT_EQ(out.count, std::to_string(expected.count));
        }
    }
}

LiteralState StateAfterPeriod(const std::string& period) {
    LiteralState state;
    state.DrawHistory[1] = {period, "03,07,01,09,11"};
    return state;
}

TEST(BackupJoin, CutsThePlanAndRewritesThePendingRecord) {
    LiteralState state = StateAfterPeriod("041");
    JoinBackupInput input;
    input.participates = true;
    input.backup.boxes = {"01,02,03,04,05 05,06,07,08,09 01,02,03,04,06", "", ""};
    input.backup.tolerance = "123";
    input.plan.text = "01,02,03,04,06\r\n05,06,07,08,09\r\n07,08,09,10,11";
    const JoinBackupOutput out = testing::Join(input, PlanLogInput{}, state);
    ASSERT_TRUE(out.backup && out.plan && out.log);
    EXPECT_EQ(out.plan->text, "01,02,03,04,06\r\n05,06,07,08,09");
    EXPECT_EQ(out.plan->count, "2");
    EXPECT_EQ(state.log.PlanRecords[0].text, "042期，开：**************-002注-等待中。。。");

    // Joining the joined plan again changes nothing.
    input.plan.text = out.plan->text;
    EXPECT_EQ(testing::Join(input, PlanLogInput{}, state).plan, out.plan);
}

TEST(BackupJoin, DoesNothingWithoutParticipationOrText) {
    LiteralState state = StateAfterPeriod("041");
    JoinBackupInput input;
    input.plan.text = "01,02,03,04,05";
    JoinBackupOutput out = testing::Join(input, PlanLogInput{}, state);
    EXPECT_FALSE(out.backup || out.plan || out.log);
    EXPECT_EQ(state.log.PlanRecords[0].text, "");

    input.participates = true;
    input.plan.text = "  ";
    out = testing::Join(input, PlanLogInput{}, state);
    EXPECT_TRUE(out.backup.has_value());
    EXPECT_FALSE(out.plan || out.log);

    // An empty backup result stops the join too.
    input.plan.text = "01,02,03,04,05";
    input.backup.tolerance = "3";
    out = testing::Join(input, PlanLogInput{}, state);
    EXPECT_EQ(out.backup->bets, "");
    EXPECT_FALSE(out.plan.has_value());
    EXPECT_EQ(state.log.PlanRecords[0].text, "");

    // The empty-tolerance notice in the result box holds no bet: the plan becomes empty.
    input.backup.tolerance = "";
    out = testing::Join(input, PlanLogInput{}, state);
    ASSERT_TRUE(out.plan.has_value());
    EXPECT_EQ(out.plan->text, "");
    EXPECT_EQ(out.plan->count, "0");
    EXPECT_EQ(state.log.PlanRecords[0].text, "042期，开：**************-000注-等待中。。。");
}

TEST(BackupJoin, MatchesLiteralJoinOnRandomBases) {
    std::mt19937_64 rng(99);
    for (int round = 0; round < 800; ++round) {
        LiteralState state = StateAfterPeriod("100");
        JoinBackupInput input;
        input.participates = true;
        for (auto& box : input.backup.boxes) box = RandomBase(rng, 80);
        input.backup.tolerance = RandomTolerance(rng, 3, false);
        input.plan.text = RandomBase(rng, 200);
        const JoinBackupOutput out = testing::Join(input, PlanLogInput{}, state);
        const std::string backup = literal::Trim(out.backup->bets);
        const std::string plan = literal::Trim(input.plan.text);
        if (plan.empty() || backup.empty()) {
            ASSERT_FALSE(out.plan.has_value());
            continue;
        }
        const auto expected = literal::LiteralJoin(plan, backup);
        ASSERT_TRUE(out.plan.has_value());
        ASSERT_EQ(out.plan->text, expected.text);
        ASSERT_EQ(out.plan->count, std::to_string(expected.count));
    }
}

}  // namespace
}  // namespace xuan5
