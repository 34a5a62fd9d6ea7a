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
    input.T_jh_rc = "5-3";
    auto out = testing::Pending(input, "230", state);
    ASSERT_TRUE(out.has_value());
    EXPECT_EQ(state.log.PlanRecords[0].text, "042期，开：**************-230注-等待中。。。");
    // Records end with CR LF, then the signature; the whole is trimmed of spaces only.
    EXPECT_EQ(out->T_jh_dadi_jilu, "042期，开：**************-230注-等待中。。。\r\n" + kSignature);
    // Scrolled to the end: the last character selected, counted as the window counts.
    EXPECT_EQ(out->jiluSelection, LastCharacterSelection(out->T_jh_dadi_jilu));
    EXPECT_EQ(out->jiluSelection.length, 1);
    EXPECT_EQ(out->rcSelection, (TextSelection{2, 1}));

    // A small plan is written with three digits; the same period rewrites the same slot.
    out = testing::Pending(input, "9", state);
    EXPECT_EQ(state.log.PlanRecords[0].text, "042期，开：**************-009注-等待中。。。");
    input.T_jihua_qianming = "  签名  ";
    out = testing::Pending(input, "0", state);
    EXPECT_EQ(out->T_jh_dadi_jilu, "042期，开：**************-000注-等待中。。。\r\n  签名");

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
    input.Check_jihua_sx = false;
    EXPECT_FALSE(testing::Pending(input, "230", state).has_value());
    EXPECT_EQ(state.log.PlanRecords[0].text, "earlier");
}

TEST(PlanLog, ResultRecordWordsAndTally) {
    LiteralState state = StateWithNewest("042", "03,07,01,09,11");
    testing::SettleInput input;
    input.T_jihua_jj_dadi = "01,02,03,04,05\r\n01,03,07,09,11";
    input.T_jihua_jj_dadi_zhushu = "230";
    state.InstanceBases = {"", "01,03,07,09,11", "", "01,03,07,09,11", "x", "01,03,07,09,11"};
    testing::SettleOutput out = testing::Settle(input, state);
    EXPECT_EQ(state.log.PlanRecords[0].text, "042期，开：03,07,01,09,11-230注-中中中");
    EXPECT_EQ(out.T_jh_rc, "5-3");

    input.T_jh_rc = out.T_jh_rc;
    input.T_jihua_jj_dadi = "01,02,03,04,05";
    input.T_zdy_yongyu = {" 好 ", "  挂了 "};
    input.T_jihua_jj_dadi_zhushu = "1";
    out = testing::Settle(input, state);
    EXPECT_EQ(state.log.PlanRecords[0].text, "042期，开：03,07,01,09,11-001注-挂了");
    EXPECT_EQ(out.T_jh_rc, "5-3\r\n5-3");

    // More instances asked for than plan mode one has made: the missing ones hold nothing.
    input.T_jh_rc = "";
    input.T_jh_dadi_chongfu_cs = "8";
    EXPECT_EQ(testing::Settle(input, state).T_jh_rc, "8-3");

    input.Check_jh_dadi_fenzu = true;
    input.T_jh_rc = "8-3";
    EXPECT_EQ(testing::Settle(input, state).T_jh_rc, "8-3\r\n模式二");

    // One instance or fewer: the checked lines that held the draw, after the box's count.
    input.Check_jh_dadi_fenzu = false;
    input.T_jh_rc = "";
    input.T_jh_dadi_chongfu_cs = "1";
    input.T_jiankong_15di_geshu = "3";
    state.LineBases[0] = "01,03,07,09,11";
    state.LineBases[1] = "01,03,07,09,11";
    state.LineBases[2] = "01,02,03,04,05";
    state.LineBases[3] = "01,03,07,09,11";
    input.Ch_jiankong_jj = {true, true, true};
    EXPECT_EQ(testing::Settle(input, state).T_jh_rc, "3-2");
}

TEST(PlanLog, SlotsFollowTheCountAndTheLogGrowsPastTwoHundred) {
    LiteralState state = StateWithNewest("041", "03,07,01,09,11");
    PlanLogInput input;
    testing::SettleInput result;
    result.T_jihua_jj_dadi_zhushu = "12";
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
    EXPECT_EQ(out->T_jh_dadi_jilu, expected + kSignature);

    // After clearing, the log starts again from slot 0 and shows no older slot.
    state.log.PlanRecordCount = 0;
    out = testing::Pending(input, "7", state);
    EXPECT_EQ(out->T_jh_dadi_jilu, "272期，开：**************-007注-等待中。。。\r\n" + kSignature);
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

namespace xuan5 {
namespace {

// A waiting record of region 1 for `period`, judged with a plan of the given bets and, for its
// tally, the checked line bases of `lines`.
PlanLog WaitingFor(const std::string& period, const std::string& planBets, const LineTexts& lines,
                   const DrawRecord& after = {}) {
    ResultRecordInput plan;
    plan.T_jihua_jj_dadi = planBets;
    plan.T_jihua_jj_dadi_zhushu = "2";
    plan.T_jh_dadi_chongfu_cs = "1";
    plan.Ch_jiankong_jj.fill(true);
    plan.T_jiankong_15di_geshu = "15";
    PlanLog log;
    PlanRecord record;
    record.text = period + "期，开：**************-002注-等待中。。。";
    record.period = period;
    record.region = 1;
    record.after = after;
    record.basis = std::make_shared<const RecordBasis>(MakeRecordBasis(plan, lines, {}));
    StorePlanRecord(log, record);
    return log;
}

TEST(PlanSettlement, TheRecordTakesTheDrawOfItsPeriodOrClosesWithoutOne) {
    // Three new draws 042..044 came on top of 041; the record waits for 042.
    DrawTable history = testing::RandomHistory(5, 44);
    history[3].numbers = "11,03,07,01,09";
    for (int r = 1; r <= kHistoryRows; ++r) history[r].date = "2026-12-07";
    const DrawKeyTable keys = DrawKeysFromSeries(BuildDrawSeries(history));
    LineTexts lines;
    lines[0] = "01,03,07,09,11";
    const ResultWords words{"中中中", "一会中"};
    PlanLog log = SettlePendingRecord(WaitingFor("042", "01,03,07,09,11 01,02,03,04,05", lines),
                                      history, keys, 3, words, 1);
    EXPECT_EQ(log.PlanRecords[0].text, "042期，开：11,03,07,01,09-002注-中中中");
    EXPECT_EQ(log.PlanRecords[0].state, RecordState::Settled);
    EXPECT_EQ(TallyText(log), "15-1");

    // Issued after 041, it takes the draw after 041 wherever it stands: even when no row is new
    // (the region's first table after a switch brought it), and waits while 041 is the newest.
    log = SettlePendingRecord(WaitingFor("042", "01,03,07,09,11", lines, history[4]), history, keys,
                              0, words, 1);
    EXPECT_EQ(log.PlanRecords[0].text, "042期，开：11,03,07,01,09-002注-中中中");
    log = SettlePendingRecord(WaitingFor("045", "01,03,07,09,11", lines, history[1]), history, keys,
                              0, words, 1);
    EXPECT_EQ(log.PlanRecords[0].state, RecordState::Waiting);
    log = SettlePendingRecord(WaitingFor("042", "01,03,07,09,11", lines, {"041", "", "2020-01-01"}),
                              history, keys, 3, words, 1);
    EXPECT_EQ(log.PlanRecords[0].state, RecordState::Closed);  // 041 of another day: gone

    // Another region's record, or none waiting, stays as it is.
    const PlanLog other =
        SettlePendingRecord(WaitingFor("042", "", lines), history, keys, 3, words, 2);
    EXPECT_EQ(other.PlanRecords[0].state, RecordState::Waiting);

    // A period that is not among the new draws closes the record: no hit, no miss, no tally.
    log =
        SettlePendingRecord(WaitingFor("045", "01,03,07,09,11", lines), history, keys, 3, words, 1);
    EXPECT_EQ(log.PlanRecords[0].text, "045期，开：**************-002注-未开奖，不计");
    EXPECT_EQ(log.PlanRecords[0].state, RecordState::Closed);
    EXPECT_EQ(TallyText(log), "");

    // A corrected draw judges the settled record again, word and tally included.
    log =
        SettlePendingRecord(WaitingFor("042", "01,03,07,09,11", lines), history, keys, 3, words, 1);
    const DrawRecord fixed{"042", "02,04,06,08,10", ""};
    log = CorrectRecords(std::move(log), fixed, DrawKeyOf(fixed.numbers), words, 1);
    EXPECT_EQ(log.PlanRecords[0].text, "042期，开：02,04,06,08,10-002注-一会中");
    EXPECT_EQ(TallyText(log), "15-0");

    // So does the monitor row of that draw, against the bases it was judged with.
    MonitorLog monitor =
        RecordMonitorRow({}, history[3], keys[118], LineBaseSetsFromTexts(lines), 1);
    EXPECT_EQ(monitor.MonitorRecords[1][0], 1);
    monitor = CorrectMonitorRows(std::move(monitor), fixed, DrawKeyOf(fixed.numbers), 2);
    EXPECT_EQ(monitor.MonitorRecords[1][0], 1);  // another region's correction
    monitor = CorrectMonitorRows(std::move(monitor), fixed, DrawKeyOf(fixed.numbers), 1);
    EXPECT_EQ(monitor.MonitorRecords[1][0], 0);
    EXPECT_EQ(monitor.MonitorRecords[1][15], 42);
}

}  // namespace
}  // namespace xuan5
