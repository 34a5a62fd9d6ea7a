#include "plans/plan_log.h"

#include <gtest/gtest.h>

#include <random>

#include "core/draw_history.h"
#include "oracle/literal_plans.h"
#include "plans/monitor.h"
#include "plans/plan_fixture.h"
#include "plans/plan_settlement.h"
#include "plans/random_texts.h"

namespace xuan5 {
namespace {

// A history whose newest row is `period` with `numbers`, and its keys.
LiteralState StateWithNewest(const std::string& period, const std::string& numbers) {
    LiteralState state;
    for (int r = 1; r <= kHistoryRows; ++r) state.DrawHistory[r] = {"000", "01,02,03,04,05"};
    state.DrawHistory[1] = {period, numbers};
    state.DrawSeries = BuildDrawSeries(state.DrawHistory);
    state.DrawKeys = DrawKeysFromSeries(state.DrawSeries);
    return state;
}

const std::string kSignature = "---------------\r\nTavren祝福大家中中\r\n---------------\r\n";

TEST(PlanLog, PendingRecordAndLogText) {
    LiteralState state = StateWithNewest("041", "03,07,01,09,11");
    PlanLogInput input;
    input.tallyText = "5-3";
    auto out = testing::Pending(input, "230", state);
    ASSERT_TRUE(out.has_value());
    EXPECT_EQ(state.log.PlanRecords[0].text, "042期，开：**************-230注-等待中。。。");
    // Records end with CR LF, then the signature; the whole is trimmed of spaces only.
    EXPECT_EQ(out->logText, "042期，开：**************-230注-等待中。。。\r\n" + kSignature);
    // Scrolled to the end: the last character selected, counted as the window counts.
    EXPECT_EQ(out->logSelection, LastCharacterSelection(out->logText));
    EXPECT_EQ(out->logSelection.length, 1);
    EXPECT_EQ(out->tallySelection, (TextSelection{2, 1}));

    // A small plan is written with three digits; the same period rewrites the same slot.
    out = testing::Pending(input, "9", state);
    EXPECT_EQ(state.log.PlanRecords[0].text, "042期，开：**************-009注-等待中。。。");
    input.signature = "  签名  ";
    out = testing::Pending(input, "0", state);
    EXPECT_EQ(out->logText, "042期，开：**************-000注-等待中。。。\r\n  签名");

    // No wrap after the last period of a day.
    LiteralState late = StateWithNewest("999", "03,07,01,09,11");
    testing::Pending(input, "5", late);
    EXPECT_EQ(late.log.PlanRecords[0].text, "1000期，开：**************-005注-等待中。。。");
    LiteralState early = StateWithNewest("084", "03,07,01,09,11");
    testing::Pending(input, "5", early);
    EXPECT_EQ(early.log.PlanRecords[0].text.substr(0, 3), "085");
}

TEST(PlanLog, NothingWhileAutomaticPlanningIsOff) {
    LiteralState state = StateWithNewest("041", "03,07,01,09,11");
    state.log.PlanRecords[0].text = "earlier";
    PlanLogInput input;
    input.autoPlan = false;
    EXPECT_FALSE(testing::Pending(input, "230", state).has_value());
    EXPECT_EQ(state.log.PlanRecords[0].text, "earlier");
}

TEST(PlanLog, ResultRecordWordsAndTally) {
    LiteralState state = StateWithNewest("042", "03,07,01,09,11");
    testing::SettleInput input;
    input.plan.text = "01,02,03,04,05\r\n01,03,07,09,11";
    input.plan.count = "230";
    state.InstanceBases = {"", "01,03,07,09,11", "", "01,03,07,09,11", "x", "01,03,07,09,11"};
    testing::SettleOutput out = testing::Settle(input, state);
    EXPECT_EQ(state.log.PlanRecords[0].text, "042期，开：03,07,01,09,11-230注-中中中");
    EXPECT_EQ(out.tallyText, "5-3");

    input.tallyText = out.tallyText;
    input.plan.text = "01,02,03,04,05";
    input.resultWords = {" 好 ", "  挂了 "};
    input.plan.count = "1";
    out = testing::Settle(input, state);
    EXPECT_EQ(state.log.PlanRecords[0].text, "042期，开：03,07,01,09,11-001注-挂了");
    EXPECT_EQ(out.tallyText, "5-3\r\n5-3");

    // More instances asked for than plan mode one has made: the missing ones hold nothing.
    input.tallyText = "";
    input.instances = "8";
    EXPECT_EQ(testing::Settle(input, state).tallyText, "8-3");

    input.useModeTwo = true;
    input.tallyText = "8-3";
    EXPECT_EQ(testing::Settle(input, state).tallyText, "8-3\r\n模式二");

    // One instance or fewer: the checked lines that held the draw, after the box's count.
    input.useModeTwo = false;
    input.tallyText = "";
    input.instances = "1";
    input.checkedLineCount = "3";
    state.LineBases[0] = "01,03,07,09,11";
    state.LineBases[1] = "01,03,07,09,11";
    state.LineBases[2] = "01,02,03,04,05";
    state.LineBases[3] = "01,03,07,09,11";
    input.checkedLines = {true, true, true};
    EXPECT_EQ(testing::Settle(input, state).tallyText, "3-2");
}

TEST(PlanLog, SlotsFollowTheCountAndTheLogGrowsPastTwoHundred) {
    LiteralState state = StateWithNewest("041", "03,07,01,09,11");
    PlanLogInput input;
    testing::SettleInput result;
    result.plan.count = "12";
    for (int period = 0; period < 230; ++period) {
        testing::Pending(input, "12", state);
        state.DrawHistory[1].period = PadNumber(42 + period, 3);
        testing::Settle(result, state);
        ++state.log.PlanRecordCount;
    }
    auto out = testing::Pending(input, "7", state);
    ASSERT_GE(state.log.PlanRecords.size(), 231u);
    EXPECT_EQ(state.log.PlanRecords[0].text, "042期，开：03,07,01,09,11-012注-一会中");
    EXPECT_EQ(state.log.PlanRecords[229].text, "271期，开：03,07,01,09,11-012注-一会中");
    EXPECT_EQ(state.log.PlanRecords[230].text, "272期，开：**************-007注-等待中。。。");
    // Every record is in the log, in slot order, then the signature.
    std::string expected;
    for (int slot = 0; slot <= 230; ++slot) expected += state.log.PlanRecords[slot].text + "\r\n";
    EXPECT_EQ(out->logText, expected + kSignature);

    // After clearing, the log starts again from slot 0 and shows no older slot.
    state.log.PlanRecordCount = 0;
    out = testing::Pending(input, "7", state);
    EXPECT_EQ(out->logText, "272期，开：**************-007注-等待中。。。\r\n" + kSignature);
}

TEST(PlanLog, CaretCountsUtf16Units) {
    EXPECT_EQ(LastCharacterSelection(""), (TextSelection{0, 0}));
    EXPECT_EQ(LastCharacterSelection("ab"), (TextSelection{1, 1}));
    EXPECT_EQ(LastCharacterSelection("中中"), (TextSelection{1, 1}));
    EXPECT_EQ(LastCharacterSelection("a😀"), (TextSelection{1, 2}));
}

TEST(PlanLog, ListBetsInTextMatchesLiteralSearch) {
    EXPECT_EQ(ListBetsInText(""), "");
    EXPECT_EQ(ListBetsInText("07,08,09,10,11\r\n01,02,03,04,05"), "01,02,03,04,05*07,08,09,10,11*");
    std::mt19937_64 rng(8);
    for (int round = 0; round < 500; ++round) {
        const std::string text = testing::RandomBase(rng, 100);
        ASSERT_EQ(ListBetsInText(text), literal::LiteralListBetsInText(text)) << text;
    }
}

}  // namespace
}  // namespace xuan5
