// The pool that runs a batch's periods, the chance band, the optimiser's candidate lists and the
// back-test's CSV texts.
#include "backtest/batch.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "backtest/backtest_csv.h"
#include "backtest/candidates.h"
#include "backtest/chance.h"

namespace xuan5 {
namespace {

TEST(ParallelFor, EveryIndexRunsOnceAndProgressReachesTheEnd) {
    for (int threads : {1, 2, 5}) {
        std::vector<std::atomic<int>> runs(997);
        std::atomic<bool> cancel{false};
        int lastDone = -1;
        const Status done = ParallelFor(
            runs.size(), threads, cancel,
            [&](int d, int total) { lastDone = d == total ? d : lastDone; },
            [&](std::size_t i) { return ++runs[i] > 0; });
        EXPECT_TRUE(done) << threads;
        EXPECT_EQ(lastDone, 997) << threads;
        for (const auto& r : runs) ASSERT_EQ(r.load(), 1) << threads;
    }
}

TEST(ParallelFor, CancelRefusalAndThrowingTasksEndTheRunAsFailures) {
    for (int threads : {1, 2}) {
        std::atomic<bool> cancel{false};
        std::atomic<int> ran{0};
        const Status cancelled = ParallelFor(100000, threads, cancel, {}, [&](std::size_t i) {
            ++ran;
            if (i == 10) cancel = true;
            return true;
        });
        ASSERT_FALSE(cancelled);
        EXPECT_TRUE(cancelled.messages().empty());
        EXPECT_LT(ran.load(), 100000);

        cancel = false;
        const Status refused =
            ParallelFor(50, threads, cancel, {}, [](std::size_t i) { return i != 7; });
        ASSERT_FALSE(refused);
        EXPECT_TRUE(refused.messages().empty());

        // A throw never leaves the pool, whichever thread it happens on.
        const Status thrown = ParallelFor(1000, threads, cancel, {}, [](std::size_t i) -> bool {
            if (i == 500) throw std::runtime_error("磁盘已满");
            return true;
        });
        ASSERT_FALSE(thrown);
        EXPECT_EQ(thrown.messages().front().text, std::string(kMsgBacktestFailed) + "磁盘已满");
        EXPECT_FALSE(cancel.load());
    }
}

TEST(Chance, SpansAddAndTakeAwayWithoutRounding) {
    ChanceSums sums;
    for (int s : {10, 462, 300, 0}) sums.Add(s);
    sums.Remove(10);
    sums.Remove(0);
    ChanceSums direct;
    for (int s : {462, 300}) direct.Add(s);
    EXPECT_EQ(sums.bets, direct.bets);
    EXPECT_EQ(sums.spread, direct.spread);
    EXPECT_DOUBLE_EQ(JudgeTotal(sums, 500).z, JudgeTotal(direct, 500).z);
    // Nothing left to chance: no division by a zero spread.
    EXPECT_DOUBLE_EQ(JudgeTotal(ChanceSums{}, 100).z, 0);
}

TEST(Candidates, ListsReadRangesOnceAndNameTheBadItem) {
    const auto tolerances = ParseToleranceChoices("03-05 03.04.05|07;07\n2.3");
    ASSERT_TRUE(tolerances);
    EXPECT_EQ(*tolerances, (std::vector<std::string>{"03.04.05", "07", "2.3"}));
    const auto lines = ParseLineChoices("01-03.15 2,3");
    ASSERT_TRUE(lines);
    ASSERT_EQ(lines->size(), 2u);
    EXPECT_TRUE((*lines)[0][0] && (*lines)[0][2] && (*lines)[0][14] && !(*lines)[0][3]);
    EXPECT_TRUE((*lines)[1][1] && (*lines)[1][2] && !(*lines)[1][0]);
    const auto counts = ParseCountChoices("2-4 9 3", 1, 10, "X");
    ASSERT_TRUE(counts);
    EXPECT_EQ(*counts, (std::vector<int>{2, 3, 4, 9}));

    for (const auto& bad : {ParseToleranceChoices("03-x"), ParseToleranceChoices("05-03")}) {
        ASSERT_FALSE(bad);
        EXPECT_EQ(bad.messages().front().kind, Message::Kind::InvalidInput);
    }
    EXPECT_FALSE(ParseLineChoices("16"));
    const auto outside = ParseCountChoices("11", 1, 10, "X");
    ASSERT_FALSE(outside);
    EXPECT_EQ(outside.messages().front().text, "X候选有误：11（须为1到10）");
}

TEST(Candidates, TheCurrentSettingsComeFirstAndOnce) {
    PlanSettings settings;
    OptimiserSpace space;
    space.lineTolerances = {"03.04", settings.modeOne.selection.lineTolerance, "05.06"};
    space.instanceCounts = {1, 3};
    const auto all = BuildCandidates(settings, space, 100, 1);
    ASSERT_TRUE(all);
    ASSERT_FALSE(all->empty());
    EXPECT_EQ(all->front(), CurrentCandidate(settings));
    for (std::size_t i = 1; i < all->size(); ++i) EXPECT_NE((*all)[i], all->front()) << i;
    const auto drawn = BuildCandidates(settings, space, 3, 1);
    ASSERT_TRUE(drawn);
    EXPECT_LE(drawn->size(), 3u);
    EXPECT_EQ(*drawn, *BuildCandidates(settings, space, 3, 1));  // the seed decides

    space.betCounts.assign(1001, DefaultLineSizes());
    space.lineTolerances.assign(1000, "03");
    const auto tooMany = BuildCandidates(settings, space, 100, 1);
    ASSERT_FALSE(tooMany);
    EXPECT_EQ(tooMany.messages().front().kind, Message::Kind::Refused);
}

TEST(BacktestCsv, NotesOfSeveralLinesStayNotes) {
    BacktestRow row;
    row.period = "042";
    row.date = "2026-12-08";
    row.numbers = "03,07,01,09,11";
    EXPECT_EQ(BacktestTableCsv({row}, {"地区 山东", "two\r\nlines"}),
              "# 地区 山东\r\n# two\r\n# lines\r\n" + std::string(kBacktestCsvHeader) +
                  "\r\n042,2026-12-08,0,\"03,07,01,09,11\",未中,0,0\r\n");
}

}  // namespace
}  // namespace xuan5
