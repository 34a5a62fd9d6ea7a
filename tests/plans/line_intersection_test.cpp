#include "plans/line_intersection.h"

#include <gtest/gtest.h>

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

const std::string kBetA = "01,02,03,04,05";
const std::string kBetB = "01,03,05,07,09";
const std::string kBetC = "07,08,09,10,11";

// Line bases where bet A is in the first `a` lines, B in the first `b`, C in the first `c`.
LineTexts BasesHolding(int a, int b, int c) {
    LineTexts bases;
    for (int i = 0; i < kLineCount; ++i) {
        if (i < a) bases[i] += kBetA + " ";
        if (i < b) bases[i] += kBetB + " ";
        if (i < c) bases[i] += kBetC + " ";
    }
    return bases;
}

TEST(LineIntersection, DefaultToleranceKeepsThreeToTenCheckedLines) {
    LineIntersectionInput input;
    // A in 2 lines, B in 10, C in 11.
    const PlanBaseText plan = IntersectLineBases(input, BasesHolding(2, 10, 11));
    EXPECT_EQ(plan.text, kBetB);
    EXPECT_EQ(plan.count, "1");

    // Only checked lines count: with lines 1..5 unchecked, C is in 6 checked lines.
    for (int i = 0; i < 5; ++i) input.checkedLines[i] = false;
    EXPECT_EQ(IntersectLineBases(input, BasesHolding(2, 10, 11)).text, kBetB + "\r\n" + kBetC);

    input.lineTolerance = "03.04.05";
    input.checkedLines.fill(false);
    for (int i = 0; i < 5; ++i) input.checkedLines[i] = true;
    // A in 3 of the five, B in 2, C in 5.
    EXPECT_EQ(IntersectLineBases(input, BasesHolding(3, 2, 5)).text, kBetA + "\r\n" + kBetC);
}

TEST(LineIntersection, NoLineCheckedKeepsAllOnlyWithDoubleZero) {
    LineIntersectionInput input;
    input.checkedLines.fill(false);
    const LineTexts bases = BasesHolding(15, 15, 15);
    PlanBaseText plan = IntersectLineBases(input, bases);
    EXPECT_EQ(plan.text, "");
    EXPECT_EQ(plan.count, "0");
    input.lineTolerance = "00";
    plan = IntersectLineBases(input, bases);
    EXPECT_EQ(plan.count, "462");
    EXPECT_EQ(plan.text.substr(0, 16), kBetA + "\r\n");
    EXPECT_EQ(plan.text.substr(plan.text.size() - 16), "\r\n" + kBetC);
    // The banker filter still applies to count-zero bets.
    input.banker.enabled = true;
    plan = IntersectLineBases(input, bases);
    EXPECT_NE(plan.text.find(kBetA), std::string::npos);
    EXPECT_EQ(plan.text.find(kBetB), std::string::npos);
}

TEST(LineIntersection, BankerFilterWithDefaults) {
    LineIntersectionInput input;
    input.banker.enabled = true;
    // A has the bankers 02 and 04, B none, C the bankers 08 and 10.
    EXPECT_EQ(IntersectLineBases(input, BasesHolding(5, 5, 5)).text, kBetA + "\r\n" + kBetC);
    // An empty banker text gives every bet the count 0, which "1.2.3" does not accept.
    input.banker.numbers = "";
    EXPECT_EQ(IntersectLineBases(input, BasesHolding(5, 5, 5)).count, "0");
    input.banker.tolerance = "0";
    EXPECT_EQ(IntersectLineBases(input, BasesHolding(5, 5, 5)).count, "3");
}

TEST(LineIntersection, MatchesLiteralSearchOnRandomLines) {
    std::mt19937_64 rng(303);
    for (int round = 0; round < 800; ++round) {
        LineIntersectionInput input;
        LineTexts bases;
        const std::string shared = RandomBase(rng, 120);
        for (int i = 0; i < kLineCount; ++i) {
            bases[i] = Chance(rng, 40) ? shared + RandomBase(rng, 20) : RandomBase(rng, 40);
            input.checkedLines[i] = Chance(rng, 60);
        }
        input.lineTolerance = RandomTolerance(rng, kLineCount, true);
        input.banker.enabled = Chance(rng, 50);
        input.banker.numbers = RandomBankers(rng);
        input.banker.tolerance = RandomTolerance(rng, 6, false);

        const PlanBaseText plan = IntersectLineBases(input, bases);
        const auto expected = literal::LiteralIntersectLineBases(
            bases, input.checkedLines, input.lineTolerance,
            {input.banker.enabled, input.banker.numbers, input.banker.tolerance});
        ASSERT_EQ(plan.text, expected.text) << input.lineTolerance;
        ASSERT_EQ(plan.count, std::to_string(expected.count));
    }
}

TEST(LineIntersection, InstancePlansFillPlanAndBackup) {
    const std::vector<std::string> instances = {
        "", kBetA + "\r\n" + kBetB, kBetA, kBetA + "\r\n" + kBetC, kBetA, kBetA + "\r\n" + kBetB};
    InstanceIntersectionOutput out = IntersectInstanceBases(5, "05", instances);
    EXPECT_EQ(out.plan.text, kBetA);
    EXPECT_EQ(out.plan.count, "1");
    EXPECT_EQ(out.backup.text, kBetA);
    EXPECT_EQ(out.backup.count, "1");
    // A tolerance without X itself keeps only the exact counts it names.
    out = IntersectInstanceBases(5, "02", instances);
    EXPECT_EQ(out.plan.text, kBetB);
    // Only instances 1..X count, and instances past the table's end hold nothing.
    out = IntersectInstanceBases(2, "02", instances);
    EXPECT_EQ(out.plan.text, kBetA);
    out = IntersectInstanceBases(9, "05", instances);
    EXPECT_EQ(out.plan.text, kBetA);
    out = IntersectInstanceBases(9, "06", instances);
    EXPECT_EQ(out.plan.count, "0");
    out = IntersectInstanceBases(0, "00", instances);
    EXPECT_EQ(out.backup.count, "462");
}

TEST(LineIntersection, InstancePlansMatchLiteralSearch) {
    std::mt19937_64 rng(404);
    for (int round = 0; round < 300; ++round) {
        const int x = Uniform(rng, 0, 14);
        std::vector<std::string> instances(static_cast<std::size_t>(x) + 1);
        const std::string shared = RandomBase(rng, 100);
        for (int i = 1; i <= x; ++i) {
            instances[i] = Chance(rng, 60) ? shared + RandomBase(rng, 10) : RandomBase(rng, 60);
        }
        const std::string tolerance = RandomTolerance(rng, x, true);
        const InstanceIntersectionOutput out = IntersectInstanceBases(x, tolerance, instances);
        const auto expected = literal::LiteralIntersectInstanceBases(instances, x, tolerance);
        ASSERT_EQ(out.plan.text, expected.text) << tolerance;
        ASSERT_EQ(out.plan.count, std::to_string(expected.count));
    }
}

}  // namespace
}  // namespace xuan5
