// Judging a plan record: the hit word, the size and what the tally counts in each mode.
#include "plans/plan_settlement.h"

#include <gtest/gtest.h>

#include "core/bets.h"

namespace xuan5 {
namespace {

constexpr const char* kDrawn = "03,07,01,09,11";

struct Judging {
    int key = DrawKeyOf(kDrawn);
    std::string holding = BetText(DrawKeyOf(kDrawn)) + " " + BetText(1);
    std::string missing = BetText(1) + " " + BetText(2);
    ResultWords words{" 中中中 ", "一会中"};
    DrawRecord draw{"042", kDrawn};
};

TEST(PlanSettlement, TallyCountsTheBasesTheModeMade) {
    const Judging s;
    ResultRecordInput input;
    input.instances = "1";  // one plan: the tally counts the checked lines
    input.plan = {s.holding, "2"};
    input.checkedLines[0] = input.checkedLines[2] = input.checkedLines[3] = true;
    input.checkedLineCount = "3";
    LineTexts lines{};
    lines[0] = s.holding;
    lines[1] = s.holding;  // not checked: never counted
    lines[2] = s.missing;
    lines[3] = s.holding;
    const JudgedRecord byLines =
        JudgeRecord(MakeRecordBasis(input, lines, {}), s.words, s.draw, s.key);
    EXPECT_TRUE(byLines.hit);
    EXPECT_EQ(byLines.text, "042期，开：03,07,01,09,11-002注-中中中");
    EXPECT_EQ(byLines.tally, "3-2");

    // X instances: the plans 1..X that were made, element 0 never.
    input.instances = "4";
    const std::vector<std::string> instances{s.holding, s.holding, s.missing, s.holding};
    const JudgedRecord byInstances =
        JudgeRecord(MakeRecordBasis(input, lines, instances), s.words, s.draw, s.key);
    EXPECT_EQ(byInstances.tally, "4-2");

    input.useModeTwo = true;
    EXPECT_EQ(JudgeRecord(MakeRecordBasis(input, lines, instances), s.words, s.draw, s.key).tally,
              "模式二");
}

TEST(PlanSettlement, AMissOrADamagedDrawTakesTheMissWord) {
    const Judging s;
    ResultRecordInput input;
    input.instances = "1";
    input.plan = {s.missing, "12"};
    input.checkedLines.fill(true);
    input.checkedLineCount = "15";
    LineTexts lines{};
    lines.fill(s.holding);
    const RecordBasis basis = MakeRecordBasis(input, lines, {});
    const JudgedRecord missed = JudgeRecord(basis, s.words, s.draw, s.key);
    EXPECT_FALSE(missed.hit);
    EXPECT_EQ(missed.text, "042期，开：03,07,01,09,11-012注-一会中");
    EXPECT_EQ(missed.tally, "15-15");

    // A draw that is no bet holds in no base, the plan's included.
    input.plan.text = s.holding;
    const JudgedRecord damaged =
        JudgeRecord(MakeRecordBasis(input, lines, {}), s.words, {"042", "12,07,01,09,11"}, 0);
    EXPECT_FALSE(damaged.hit);
    EXPECT_EQ(damaged.tally, "15-0");
}

}  // namespace
}  // namespace xuan5
