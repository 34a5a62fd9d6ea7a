#include "plans/plan_modes.h"

#include <gtest/gtest.h>

#include "oracle/literal_plans.h"
#include "plans/plan_fixture.h"
#include "plans/random_texts.h"

namespace xuan5 {
namespace {

using testing::Chance;
using testing::PlanOne;
using testing::PlanTwo;
using testing::RandomBankers;
using testing::RandomBase;
using testing::RandomTolerance;
using testing::Uniform;

const Message kInputError{"输入数据有误，请检查格式。", "提示"};
const Message kNotice{"请先选择“每期算号”", "友情提示", Message::Kind::Notice};
const Message kDamaged{"曲线数据不完整，可能被破坏,请重新画线保存", "提示", Message::Kind::Damaged};

struct Recorder {
    std::vector<std::string> texts;
    int stopAfter = -1;  // stop the run at this call (counted from 0)
    ProgressFn Fn() {
        return [this](const std::string& text) {
            texts.push_back(text);
            return stopAfter < 0 || static_cast<int>(texts.size()) <= stopAfter;
        };
    }
};

int InstancesHolding(const LiteralState& state, int bet) {
    int count = 0;
    for (std::size_t i = 1; i < state.InstanceBases.size(); ++i) {
        count += BetSetFromText(state.InstanceBases[i]).Test(bet) ? 1 : 0;
    }
    return count;
}

TEST(PlanModeOne, ProgressTexts) {
    EXPECT_EQ(InstanceProgressText(1, 5), "20.0%");
    EXPECT_EQ(InstanceProgressText(5, 5), "100.0%");
    EXPECT_EQ(InstanceProgressText(1, 20), "05.0%");
    EXPECT_EQ(InstanceProgressText(1, 3), "33.3%");
    EXPECT_EQ(InstanceProgressText(2, 3), "66.7%");
    EXPECT_EQ(InstanceProgressText(1, 16), "06.3%");
    EXPECT_EQ(InstanceProgressText(1, 1000), "00.1%");
    EXPECT_EQ(InstanceProgressText(999, 1000), "99.9%");
}

// Same generator seed, same saved lines: the set-based run must reproduce the text run exactly.
TEST(PlanModeOne, MatchesLiteralRunOverInstances) {
    const LineTexts saved = testing::ShapedSavedLines();
    std::mt19937_64 pick(2024);
    for (int round = 0; round < 6; ++round) {
        LiteralState state = testing::LoadedState(100 + round);
        PlanModeOneInput input;
        const int x = round == 0 ? 5 : Uniform(pick, 2, 6);
        input.instances = std::to_string(x);
        if (round > 0) {
            input.instanceTolerance = RandomTolerance(pick, x, true);
            input.selection.lineTolerance = RandomTolerance(pick, kLineCount, true);
            for (bool& box : input.selection.checkedLines) box = Chance(pick, 70);
            for (auto& size : input.lines.lineSizes) size = std::to_string(Uniform(pick, 0, 400));
            input.selection.banker.enabled = Chance(pick, 50);
            input.selection.banker.numbers = RandomBankers(pick);
        }
        LiteralState replay = state;
        Recorder progress;
        std::mt19937_64 rng(round);
        const Result<PlanRunOutput> out = PlanOne(input, saved, state, rng, progress.Fn());
        ASSERT_TRUE(out.ok());
        EXPECT_TRUE(out->messages.empty());
        ASSERT_EQ(progress.texts.size(), static_cast<std::size_t>(x));
        EXPECT_EQ(progress.texts.back(), "100.0%");

        replay.CurveStoreLines = testing::ShapedSavedLines();
        std::mt19937_64 literalRng(round);
        const auto& sel = input.selection;
        const literal::LiteralPlanOne expected = literal::LiteralRunPlanModeOne(
            replay, x, input.instanceTolerance, input.lines.lineSizes, sel.checkedLines,
            sel.lineTolerance, {sel.banker.enabled, sel.banker.numbers, sel.banker.tolerance},
            literalRng);

        ASSERT_EQ(out->plan.text, expected.plan.text) << "round " << round;
        EXPECT_EQ(out->plan.count, std::to_string(expected.plan.count));
        EXPECT_EQ(out->backup.text, out->plan.text);
        EXPECT_EQ(out->backup.count, out->plan.count);
        EXPECT_EQ(state.InstanceBases, expected.instanceBases);
        EXPECT_EQ(state.LineBases, expected.lineBases);
        // The searches ran on lines of their own: the drawing is the user's alone.
        EXPECT_EQ(state.TrendLine, TrendLineTable{});
        EXPECT_EQ(state.ProfitSeries, ProfitSeriesTable{});
        ASSERT_TRUE(out->log.has_value());
        EXPECT_EQ(
            state.log.PlanRecords[0].text,
            "042期，开：**************-" + PadNumber(expected.plan.count, 3) + "注-等待中。。。");
    }
}

TEST(PlanModeOne, TotalToleranceCountsInstancePlansExactly) {
    const LineTexts saved = testing::ShapedSavedLines();
    LiteralState state = testing::LoadedState(7);
    PlanModeOneInput input;
    input.selection.lineTolerance = "01.02.03.04.05.06";
    input.instanceTolerance = "03";
    std::mt19937_64 rng(3);
    const Result<PlanRunOutput> out = PlanOne(input, saved, state, rng);
    ASSERT_EQ(state.InstanceBases.size(), 6u);
    EXPECT_EQ(state.InstanceBases[0], "");
    const BetSet plan = BetSetFromText(out->plan.text);
    int inThree = 0;
    for (int bet = 1; bet <= kBetCount; ++bet) {
        const int holding = InstancesHolding(state, bet);
        EXPECT_EQ(plan.Test(bet), holding == 3) << bet;
        inThree += holding == 3;
    }
    EXPECT_GT(inThree, 0);
    // The instances differ, since every one searches its own random fill.
    EXPECT_NE(state.InstanceBases[1], state.InstanceBases[2]);
}

TEST(PlanModeOne, SingleInstanceIsOneLineIntersectionAndRefreshesTheBackup) {
    const LineTexts saved = testing::ShapedSavedLines();
    for (const char* x : {"1", "0", "-3", " 1 "}) {
        LiteralState state = testing::LoadedState(8);
        state.InstanceBases = {"", "kept"};
        PlanModeOneInput input;
        input.instances = x;
        Recorder progress;
        std::mt19937_64 rng(4);
        const Result<PlanRunOutput> out = PlanOne(input, saved, state, rng, progress.Fn());
        ASSERT_TRUE(out.ok());
        EXPECT_TRUE(progress.texts.empty());
        EXPECT_EQ(state.InstanceBases, (std::vector<std::string>{"", "kept"}));
        const PlanBaseText expected = IntersectLineBases(input.selection, state.LineBases);
        EXPECT_EQ(out->plan.text, expected.text);
        EXPECT_EQ(out->plan.count, expected.count);
        EXPECT_EQ(out->backup.text, expected.text);
        EXPECT_EQ(out->backup.count, expected.count);
        EXPECT_EQ(state.TrendLine, TrendLineTable{});
        EXPECT_FALSE(state.LineBases[0].empty());
    }
    // Keeping the current bases: no search and no notice with a single instance.
    LiteralState state = testing::LoadedState(8);
    state.LineBases.fill("01,02,03,04,05");
    PlanModeOneInput input;
    input.instances = "1";
    input.lines.searchEveryPeriod = false;
    std::mt19937_64 rng(4);
    const Result<PlanRunOutput> out = PlanOne(input, saved, state, rng);
    EXPECT_TRUE(out->messages.empty());
    EXPECT_FALSE(out->LineBases.has_value());
    EXPECT_EQ(out->plan.text, "");
    EXPECT_EQ(state.LineBases[3], "01,02,03,04,05");
}

TEST(PlanModeOne, BadInstanceCountEndsTheRunBeforeAnything) {
    const LineTexts saved = testing::ShapedSavedLines();
    for (const char* x : {"", "  ", "abc", "5x", "10001", "99999999999", "2147483648"}) {
        LiteralState state = testing::LoadedState(9);
        state.CurveStoreLines[0] = "untouched";
        PlanModeOneInput input;
        input.instances = x;
        Recorder progress;
        std::mt19937_64 rng(1);
        const Result<PlanRunOutput> out = PlanOne(input, saved, state, rng, progress.Fn());
        EXPECT_FALSE(out.ok() || out.Cancelled()) << x;
        EXPECT_EQ(out.messages(), std::vector<Message>{kInputError});
        EXPECT_TRUE(progress.texts.empty());
        EXPECT_EQ(state.CurveStoreLines[0], "untouched");
        EXPECT_EQ(state.log.PlanRecords[0].text, "");
    }
}

// A window that closes during a run stops it: nothing of the run is written anywhere.
TEST(PlanModeOne, StoppedRunWritesNothing) {
    const LineTexts saved = testing::ShapedSavedLines();
    LiteralState state = testing::LoadedState(10);
    state.InstanceBases = {"", "kept"};
    const LiteralState before = state;
    Recorder progress;
    progress.stopAfter = 2;
    std::mt19937_64 rng(1);
    const Result<PlanRunOutput> out = PlanOne(PlanModeOneInput{}, saved, state, rng, progress.Fn());
    EXPECT_TRUE(out.Cancelled());
    EXPECT_EQ(progress.texts.size(), 3u);
    EXPECT_EQ(state.InstanceBases, before.InstanceBases);
    EXPECT_EQ(state.LineBases, before.LineBases);
    EXPECT_TRUE(state.log.PlanRecords == before.log.PlanRecords);
    EXPECT_EQ(state.TrendLine, before.TrendLine);
    EXPECT_EQ(state.ProfitSeries, before.ProfitSeries);
}

TEST(PlanModeOne, KeepingBasesShowsTheNoticeOncePerRun) {
    const LineTexts saved = testing::ShapedSavedLines();
    LiteralState state = testing::LoadedState(11);
    state.LineBases[0] = "01,02,03,04,05 01,02,03,04,06";
    state.LineBases[1] = "01,02,03,04,05";
    state.LineBases[2] = "01,02,03,04,05";
    PlanModeOneInput input;
    input.instances = "3";
    input.instanceTolerance = "03";
    input.lines.searchEveryPeriod = false;
    Recorder progress;
    std::mt19937_64 rng(1);
    Result<PlanRunOutput> out = PlanOne(input, saved, state, rng, progress.Fn());
    EXPECT_EQ(out->messages, std::vector<Message>{kNotice});
    EXPECT_EQ(progress.texts, (std::vector<std::string>{"33.3%", "66.7%", "100.0%"}));
    ASSERT_EQ(state.InstanceBases.size(), 4u);
    EXPECT_EQ(state.InstanceBases[1], "01,02,03,04,05");
    EXPECT_EQ(state.InstanceBases[2], state.InstanceBases[1]);
    EXPECT_EQ(state.InstanceBases[3], state.InstanceBases[1]);
    EXPECT_EQ(out->plan.text, "01,02,03,04,05");
    EXPECT_FALSE(out->LineBases.has_value());
    EXPECT_EQ(state.LineBases[1], "01,02,03,04,05");
    // Equal instance plans: the total keeps all of them or none.
    input.instanceTolerance = "02";
    out = PlanOne(input, saved, state, rng);
    EXPECT_EQ(out->plan.text, "");
    EXPECT_EQ(out->plan.count, "0");
}

TEST(PlanModeOne, DamagedSavedLineIsReportedOncePerRun) {
    LineTexts saved = testing::ShapedSavedLines();
    saved[6] = "";
    LiteralState state = testing::LoadedState(12);
    PlanModeOneInput input;
    input.instances = "4";
    std::mt19937_64 rng(1);
    const Result<PlanRunOutput> out = PlanOne(input, saved, state, rng);
    ASSERT_TRUE(out.ok());
    EXPECT_EQ(out->messages, std::vector<Message>{kDamaged});
    EXPECT_FALSE(state.LineBases[6].empty());
}

TEST(PlanModeOne, NoRecordWhileAutomaticPlanningIsOff) {
    const LineTexts saved = testing::ShapedSavedLines();
    LiteralState state = testing::LoadedState(13);
    PlanModeOneInput input;
    input.log.autoPlan = false;
    std::mt19937_64 rng(1);
    const Result<PlanRunOutput> out = PlanOne(input, saved, state, rng);
    EXPECT_TRUE(out.ok());
    EXPECT_FALSE(out->log.has_value());
    EXPECT_EQ(state.log.PlanRecords[0].text, "");
}

// Bet A in all five lines of group one, B in one line of each group, C in two lines of group
// one and one of each other group, D in one line of groups two and three only.
LineTexts GroupBases() {
    LineTexts bases;
    const auto add = [&](int line, const std::string& bet) { bases[line - 1] += bet + " "; };
    for (int line = 1; line <= 5; ++line) add(line, "01,02,03,04,05");
    add(6, "01,02,03,04,05");
    add(11, "01,02,03,04,05");
    for (int line : {1, 6, 11}) add(line, "01,03,05,07,09");
    for (int line : {1, 2, 6, 11}) add(line, "02,04,06,08,10");
    for (int line : {6, 11}) add(line, "07,08,09,10,11");
    return bases;
}

BetSet Grouped(const LineTexts& bases, std::array<std::string, 3> groups,
               std::array<std::string, 3> tolerances, const std::string& total) {
    return GroupedLinesPlan(LineBaseSetsFromTexts(bases), groups, tolerances, total, FullBetSet());
}

TEST(PlanModeTwo, GroupAndTotalTolerances) {
    const PlanModeTwoInput defaults;
    const std::array<std::string, 3> groups = {defaults.group1, defaults.group2, defaults.group3};
    const std::array<std::string, 3> rc = {defaults.group1Tolerance, defaults.group2Tolerance,
                                           defaults.group3Tolerance};
    const LineTexts bases = GroupBases();
    EXPECT_EQ(RenderBetSet(Grouped(bases, groups, rc, "03"), " "), "01,03,05,07,09 02,04,06,08,10");
    // At least two of the three conditions: A (fails group one) and D (fails group one) too.
    EXPECT_EQ(RenderBetSet(Grouped(bases, groups, rc, "02.03"), " "),
              "01,02,03,04,05 01,03,05,07,09 02,04,06,08,10 07,08,09,10,11");

    // An empty group is satisfied only when its tolerance holds "00".
    EXPECT_TRUE(Grouped(bases, {groups[0], groups[1], ""}, rc, "03").Empty());
    EXPECT_EQ(
        RenderBetSet(Grouped(bases, {groups[0], groups[1], ""}, {rc[0], rc[1], "00"}, "03"), " "),
        "01,03,05,07,09 02,04,06,08,10");

    // One-digit line numbers select nothing; "0102" selects lines 1, 2 and 10.
    BetSet plan = Grouped(bases, {"1.2", "", ""}, {"00", "00", "00"}, "03");
    EXPECT_EQ(plan, FullBetSet());
    LineTexts tenth;
    tenth[9] = "07,08,09,10,11";
    plan = Grouped(tenth, {"0102", "", ""}, {"01", "00", "00"}, "03");
    EXPECT_EQ(RenderBetSet(plan, " "), "07,08,09,10,11");
    // A line may be in several groups.
    plan = Grouped(tenth, {"10", "10", "10"}, {"01", "01", "01"}, "03");
    EXPECT_EQ(RenderBetSet(plan, " "), "07,08,09,10,11");
}

TEST(PlanModeTwo, MatchesLiteralSearchOnRandomGroups) {
    std::mt19937_64 rng(555);
    const auto randomGroup = [&rng]() -> std::string {
        switch (Uniform(rng, 0, 5)) {
            case 0:
                return "";
            case 1:
                return testing::RandomFrom(rng, "0123456789.", Uniform(rng, 1, 14));
            default:
                break;
        }
        std::string text;
        const int lines = Uniform(rng, 1, 7);
        const std::string separator = Chance(rng, 80) ? "." : "";
        for (int i = 0; i < lines; ++i) {
            if (i > 0) text += separator;
            const int n = Uniform(rng, 1, 16);
            text += Chance(rng, 90) ? PadNumber(n, 2) : std::to_string(n);
        }
        return text;
    };
    for (int round = 0; round < 400; ++round) {
        LineTexts bases;
        const std::string shared = RandomBase(rng, 100);
        for (auto& base : bases) {
            base = Chance(rng, 40) ? shared + RandomBase(rng, 15) : RandomBase(rng, 40);
        }
        std::array<std::string, 3> groups;
        std::array<std::string, 3> tolerances;
        for (int k = 0; k < 3; ++k) {
            groups[k] = randomGroup();
            tolerances[k] = RandomTolerance(rng, 6, true);
        }
        const std::string total = RandomTolerance(rng, 3, true);
        BankerSettings banker;
        banker.enabled = Chance(rng, 40);
        banker.numbers = RandomBankers(rng);
        banker.tolerance = RandomTolerance(rng, 5, false);

        const PlanBaseText plan = RenderPlanBase(GroupedLinesPlan(
            LineBaseSetsFromTexts(bases), groups, tolerances, total, BankerPassSet(banker)));
        const auto expected = literal::LiteralGroupedLines(
            bases, groups, tolerances, total, {banker.enabled, banker.numbers, banker.tolerance});
        ASSERT_EQ(plan.text, expected.text)
            << groups[0] << " | " << groups[1] << " | " << groups[2] << " / " << tolerances[0]
            << " | " << tolerances[1] << " | " << tolerances[2] << " / " << total;
        ASSERT_EQ(plan.count, std::to_string(expected.count));
    }
}

TEST(PlanModeTwo, RunWritesPlanBackupAndRecord) {
    LiteralState state = testing::LoadedState(14);
    state.LineBases = GroupBases();
    PlanModeTwoInput input;
    input.lines.searchEveryPeriod = false;
    input.banker.enabled = true;
    input.banker.numbers = "02.04";
    Recorder progress;
    std::mt19937_64 rng(1);
    const Result<PlanRunOutput> out =
        PlanTwo(input, state.CurveStoreLines, state, rng, progress.Fn());
    EXPECT_EQ(progress.texts, std::vector<std::string>{"等待"});
    // Keeping the bases: no notice in this mode, and the bases stay.
    EXPECT_TRUE(out->messages.empty());
    EXPECT_EQ(state.LineBases, GroupBases());
    // The banker filter drops B (no banker number) and keeps C.
    EXPECT_EQ(out->plan.text, "02,04,06,08,10");
    EXPECT_EQ(out->plan.count, "1");
    EXPECT_EQ(out->backup.text, "02,04,06,08,10");
    EXPECT_EQ(out->backup.count, "1");
    ASSERT_TRUE(out->log.has_value());
    EXPECT_EQ(state.log.PlanRecords[0].text, "042期，开：**************-001注-等待中。。。");
}

TEST(PlanModeTwo, RecomputesLineBasesWhenAskedTo) {
    LiteralState state = testing::LoadedState(15);
    state.CurveStoreLines = testing::ShapedSavedLines();
    state.CurveStoreLines[2] = "broken";
    PlanModeTwoInput input;
    std::mt19937_64 rng(6);
    const Result<PlanRunOutput> out = PlanTwo(input, state.CurveStoreLines, state, rng);
    EXPECT_EQ(out->messages, std::vector<Message>{kDamaged});
    EXPECT_FALSE(state.LineBases[kLineCount - 1].empty());
    EXPECT_EQ(state.TrendLine, TrendLineTable{});
    const auto expected = literal::LiteralGroupedLines(
        state.LineBases, {input.group1, input.group2, input.group3},
        {input.group1Tolerance, input.group2Tolerance, input.group3Tolerance},
        input.groupTotalTolerance, {});
    EXPECT_EQ(out->plan.text, expected.text);
    EXPECT_GT(expected.count, 0);
}

}  // namespace
}  // namespace xuan5
