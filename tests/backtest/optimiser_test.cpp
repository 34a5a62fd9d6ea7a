#include "backtest/optimiser.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>

#include "core/text.h"
#include "plans/plan_fixture.h"
#include "plans/random_texts.h"

namespace xuan5 {
namespace {

using testing::Chance;
using testing::Uniform;

std::vector<DatedDraw> Archive(std::size_t count, std::uint64_t seed) {
    std::mt19937_64 rng(seed);
    std::vector<DatedDraw> draws;
    auto day = *ParseDrawDate("2026-03-01");
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0 && i % 42 == 0) day += std::chrono::days(1);
        draws.push_back({DrawDateText(day), PadNumber(static_cast<int>(i % 42) + 1, 3),
                         testing::RandomDrawNumbers(rng)});
    }
    return draws;
}

std::string RandomBets(std::mt19937_64& rng, int count) {
    BetSet set;
    while (set.Count() < count) set.Set(Uniform(rng, 1, kBetCount));
    return RenderBetSet(set, " ");
}

// Settings of either mode as a user might leave them, the round choosing which: kept or
// recomputed bases, the backup join with an empty, a narrow or no result, a damaged saved line.
BacktestSettings RandomSettings(std::mt19937_64& rng, int round) {
    BacktestSettings s;
    s.savedLines = testing::ShapedSavedLines();
    if (round % 5 == 4) s.savedLines[Uniform(rng, 0, 14)] = "5*x";
    // A damaged first line searches on nothing in the first instance, on the last line after.
    if (round == 4) s.savedLines[0] = "5*x";
    s.useModeTwo = round % 3 == 2;
    const bool recompute = round % 4 != 3;
    s.modeOne.lines.searchEveryPeriod = s.modeTwo.lines.searchEveryPeriod = recompute;
    for (std::string& base : s.LineBases) base = RandomBets(rng, Uniform(rng, 0, 300));
    for (BankerSettings* banker : {&s.modeOne.selection.banker, &s.modeTwo.banker}) {
        banker->enabled = Chance(rng, 30);
        banker->tolerance = testing::RandomTolerance(rng, 5, false);
    }
    s.modeTwo.group2 = Chance(rng, 50) ? "06.07.08" : "";
    s.backup.participates = round % 2 == 1;
    s.backup.backup.boxes = {RandomBets(rng, 300), RandomBets(rng, 250), ""};
    s.backup.backup.tolerance = std::vector<std::string>{"12", "", "3"}[round / 2 % 3];
    return s;
}

OptimiserCandidate RandomCandidate(std::mt19937_64& rng, const BacktestSettings& settings) {
    OptimiserCandidate c = CurrentCandidate(settings);
    const std::vector<std::string> counts = {"120", "230", "300"};
    if (Chance(rng, 50)) c.lineSizes.fill(counts[Uniform(rng, 0, 2)]);
    if (Chance(rng, 15)) c.lineSizes[Uniform(rng, 0, 14)] = "90";
    c.lineTolerance = testing::RandomTolerance(rng, 15, true);
    for (bool& line : c.checkedLines) line = Chance(rng, 70);
    c.instances = std::to_string(Uniform(rng, 0, 5));
    c.instanceTolerance = testing::RandomTolerance(rng, 5, true);
    for (std::string& group : c.groupTolerances) group = testing::RandomTolerance(rng, 5, true);
    c.groupTotalTolerance = testing::RandomTolerance(rng, 3, true);
    return c;
}

TEST(Optimiser, EveryCandidateIsTheBacktestOfItsSettingRunAlone) {
    std::mt19937_64 rng(19);
    const std::vector<DatedDraw> archive = Archive(126, 3);
    std::atomic<bool> cancel{false};
    for (int round = 0; round < 12; ++round) {
        const BacktestSettings settings = RandomSettings(rng, round);
        std::vector<OptimiserCandidate> candidates{CurrentCandidate(settings)};
        while (candidates.size() < 9) candidates.push_back(RandomCandidate(rng, settings));
        // Shared bet counts, line choices and tolerances are what the run groups on.
        candidates.push_back(candidates[3]);
        candidates.back().instances = "4";
        // More instances than a period's agreement counts in registers.
        candidates.push_back(candidates[5]);
        candidates.back().instances = "17";
        const BacktestOptions options{4, 100u + static_cast<unsigned>(round), 2};
        const Result<CandidateRuns> runs =
            RunCandidates(archive, settings, candidates, options, cancel);
        ASSERT_TRUE(runs.ok()) << round;
        const CandidateOutcomes& out = runs->outcomes;
        ASSERT_EQ(out.periods, 4u);
        for (std::size_t c = 0; c < candidates.size(); ++c) {
            BacktestSettings alone = settings;
            static_cast<PlanSettings&>(alone) = WithCandidate(settings, candidates[c]);
            const Result<BacktestResult> plain = RunBacktest(archive, alone, options, cancel);
            ASSERT_TRUE(plain.ok());
            EXPECT_EQ(runs->notices, plain->notices);
            for (std::size_t p = 0; p < out.periods; ++p) {
                EXPECT_EQ(out.PlanSize(c, p), plain->rows[p].planSize) << round << " " << c;
                EXPECT_EQ(out.Hit(c, p), plain->rows[p].hit) << round << " " << c;
            }
            EXPECT_EQ(FiguresOver(out, c, 0, 4).total, plain->summary.total);
        }
    }
    // A candidate the plan panel would refuse refuses the run, as the back-test does.
    BacktestSettings settings;
    settings.savedLines = testing::ShapedSavedLines();
    OptimiserCandidate refused = CurrentCandidate(settings);
    refused.instances = "";
    const Result<CandidateRuns> run =
        RunCandidates(archive, settings, {CurrentCandidate(settings), refused}, {3, 1, 2}, cancel);
    EXPECT_EQ(run.messages(), (std::vector<Message>{{kMsgPlanInputError, kTitleNotice}}));
}

TEST(Chance, FiguresAgainstAHandComputation) {
    // Per period 924² · s(462 - s) / 462² = 4 · s(462 - s): 0, 213444, 0 and 144800.
    const std::vector<int> sizes = {0, 231, 462, 100};
    const ChanceBand band = ChanceOfTotal(sizes, -1000);
    EXPECT_DOUBLE_EQ(band.expected, 0);
    EXPECT_DOUBLE_EQ(band.spread, std::sqrt(358244.0));  // 598.53...
    EXPECT_NEAR(band.z, -1000 / 598.5349, 1e-6);
    EXPECT_EQ(band.verdict, ChanceVerdict::Within);
    EXPECT_EQ(ChanceOfTotal(sizes, 1300).verdict, ChanceVerdict::Above);
    EXPECT_EQ(ChanceOfTotal(sizes, -1200).verdict, ChanceVerdict::Below);
    EXPECT_EQ(ChanceOfTotal({0, 462}, 0).spread, 0);

    const std::vector<BandPoint> running = RunningChanceBand(sizes);
    ASSERT_EQ(running.size(), 4u);
    EXPECT_DOUBLE_EQ(running[1].high, 2 * std::sqrt(213444.0));
    EXPECT_DOUBLE_EQ(running[3].low, -2 * std::sqrt(358244.0));

    EXPECT_EQ(ChanceText(band, -1000),
              "机会：期望 0　标准差 599　±2σ -1197 至 1197　z = -1.67\n"
              "累计 -1000，在机会范围之内（z = -1.67）：随机选同样多的注，也常有这样的结果。");
    EXPECT_EQ(SeedsChanceText({-1000, 1300}, {band, ChanceOfTotal(sizes, 1300)}),
              "机会范围 ±2σ 约 ±1197：2个种子中1个高于、0个低于，1个在范围之内。");
    EXPECT_EQ(ShortRunNote(100, 23, 143),
              "本地存档只有143期，每期回测要用它之前的120期，所以只回测了23期（要求100期）。"
              "请先“下载历史”至少220期。");
    EXPECT_EQ(ShortRunNote(100, 100, 900), "");
}

// Outcomes made up by hand: the walk-forward only sums and ranks them.
CandidateOutcomes MadeUp(std::size_t candidates, std::size_t periods, std::uint64_t seed) {
    std::mt19937_64 rng(seed);
    CandidateOutcomes out{candidates, periods, 0, {}, {}};
    for (std::size_t i = 0; i < candidates * periods; ++i) {
        out.planSizes.push_back(static_cast<std::int16_t>(Uniform(rng, 0, 462)));
        out.hits.push_back(Chance(rng, out.planSizes.back() * 100 / 462));
    }
    return out;
}

TEST(Optimiser, EachTrainingSpanRanksAndTheNextTestSpanJudges) {
    const CandidateOutcomes out = MadeUp(7, 23, 5);
    for (OptimiserRank rank : {OptimiserRank::Total, OptimiserRank::Z}) {
        const OptimiserResult result = WalkForward(out, {23, 10, 4, 2, rank, 1, 1});
        // Training spans from 0, 4, 8 and 12, the last test span one period long, then the
        // span ending at the newest period.
        ASSERT_EQ(result.folds.size(), 5u);
        const std::vector<std::size_t> starts = {0, 4, 8, 12, 13};
        const std::vector<std::size_t> tests = {4, 4, 4, 1, 0};
        long long total = 0;
        std::size_t at = 0;
        for (std::size_t f = 0; f < 5; ++f) {
            const Fold& fold = result.folds[f];
            EXPECT_EQ(fold.trainFirst, starts[f]);
            EXPECT_EQ(fold.testCount, tests[f]);
            // The picks are the two best by brute force, each with its figures summed afresh.
            std::vector<std::pair<double, std::size_t>> ranked;
            for (std::size_t c = 0; c < 7; ++c) {
                const SpanFigures in = FiguresOver(out, c, starts[f], 10);
                ranked.push_back(
                    {rank == OptimiserRank::Total ? -double(in.total) : -in.chance.z, c});
            }
            std::sort(ranked.begin(), ranked.end());
            ASSERT_EQ(fold.picks.size(), 2u);
            for (std::size_t k = 0; k < 2; ++k) {
                const FoldPick& pick = fold.picks[k];
                EXPECT_EQ(pick.candidate, ranked[k].second) << f;
                EXPECT_EQ(pick.inSample.total,
                          FiguresOver(out, pick.candidate, starts[f], 10).total);
                EXPECT_EQ(pick.outOfSample.has_value(), tests[f] > 0);
            }
            if (tests[f] == 0) continue;
            EXPECT_EQ(fold.picks[1].outOfSample->total,
                      FiguresOver(out, fold.picks[1].candidate, fold.testFirst, tests[f]).total);
            // The out-of-sample line follows the winner of each span.
            for (std::size_t p = fold.testFirst; p < fold.testFirst + tests[f]; ++p) {
                total += FiguresOver(out, fold.picks[0].candidate, p, 1).total;
                EXPECT_EQ(result.outOfSampleTotals[at++], total);
            }
        }
        EXPECT_EQ(at, 13u);
        EXPECT_EQ(result.outOfSample.total, total);
        EXPECT_EQ(result.outOfSample.periods, 13);
        EXPECT_EQ(result.verdict, OptimiserVerdict(result.outOfSample, 4, result.inSampleZ));
    }
    SpanFigures lucky{100, 30, 9000, ChanceOfTotal(std::vector<int>(100, 100), 9000)};
    EXPECT_EQ(
        OptimiserVerdict(lucky, 2, 3.5),
        "样本外共2段100期，每段用它之前训练期的最佳设置：累计 9000，机会范围 -7611 至 "
        "7611（z = "
        "2.37）。样本内的赢家在样本外高于机会范围，可能真有用；期数有限，请用更多数据再检验。");
    lucky.chance = ChanceOfTotal(std::vector<int>(100, 100), 900);
    EXPECT_NE(OptimiserVerdict(lucky, 2, 3.5).find("没有胜过运气：它们在训练期平均 z = 3.50"),
              std::string::npos);
}

TEST(Optimiser, CandidatesFromListsAndRunsThatCannotBeDone) {
    EXPECT_EQ(*ParseToleranceChoices("03-05，05|03.04.05  1011 03-05"),
              (std::vector<std::string>{"03.04.05", "05", "1011"}));
    EXPECT_EQ(ParseToleranceChoices("03-x").messages()[0].text, "容对候选有误：03-x");
    const auto lines = *ParseLineChoices("01-03.15 2,3");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_TRUE(lines[0][0] && lines[0][2] && !lines[0][3] && lines[0][14]);
    EXPECT_FALSE(ParseLineChoices("01-16").ok());
    EXPECT_EQ(*ParseCountChoices("1 3-5 3", 1, 50, "X"), (std::vector<int>{1, 3, 4, 5}));
    EXPECT_EQ(ParseCountChoices("0", 1, 50, "多开次数").messages()[0].text,
              "多开次数候选有误：0（须为1到50）");

    PlanSettings settings;
    OptimiserSpace space;
    space.lineTolerances = {"03", "04", "05"};
    space.lineChoices = lines;
    space.instanceCounts = {1, 3, 5};
    space.instanceTolerances = {"03.04.05", "05"};
    // X = 1 keeps one total; X = 3 cannot reach "05"; X = 5 takes both: 3 · 2 · 4, then the
    // current settings first.
    const auto all = *BuildCandidates(settings, space, 100, 1);
    ASSERT_EQ(all.size(), 25u);
    EXPECT_EQ(all[0], CurrentCandidate(settings));
    EXPECT_EQ(DescribeCandidate(all[0], false), "容对03-10 线01-15 X5 总05 注230");
    EXPECT_EQ(DescribeCandidate(all[1], false), "容对03 线01-03.15 X1 注230");
    const auto drawn = *BuildCandidates(settings, space, 10, 7);
    EXPECT_EQ(drawn, *BuildCandidates(settings, space, 10, 7));
    EXPECT_NE(drawn, *BuildCandidates(settings, space, 10, 8));
    EXPECT_EQ(drawn.size(), 10u);
    space.lineTolerances.assign(1000, "03");
    space.betCounts.assign(1001, DefaultLineSizes());
    EXPECT_FALSE(BuildCandidates(settings, space, 10, 1).ok());

    BacktestSettings plain;
    plain.savedLines = testing::ShapedSavedLines();
    std::atomic<bool> cancel{false};
    const std::vector<OptimiserCandidate> one{CurrentCandidate(plain)};
    EXPECT_EQ(
        RunOptimiser(Archive(400, 1), plain, one, {100, 80, 30, 3}, cancel).messages()[0].text,
        kMsgOptimiserSpans);
    EXPECT_EQ(
        RunOptimiser(Archive(200, 1), plain, one, {100, 60, 30, 3}, cancel).messages()[0].text,
        "本地存档只够寻优80期（每期要用它之前的120期），训练60期加检验30期需要90期。"
        "请先“下载历史”。");
    // Threads change nothing, the seed does; cancelling gives no result.
    const auto archive = Archive(150, 2);
    std::mt19937_64 rng(4);
    std::vector<OptimiserCandidate> some = one;
    while (some.size() < 6) some.push_back(RandomCandidate(rng, plain));
    const auto oneThread =
        *RunOptimiser(archive, plain, some, {30, 20, 5, 2, OptimiserRank::Z, 9, 1}, cancel);
    const auto twoThreads =
        *RunOptimiser(archive, plain, some, {30, 20, 5, 2, OptimiserRank::Z, 9, 2}, cancel);
    EXPECT_EQ(oneThread.outOfSampleTotals, twoThreads.outOfSampleTotals);
    EXPECT_EQ(oneThread.folds.back().picks.front().candidate,
              twoThreads.folds.back().picks.front().candidate);
    EXPECT_EQ(oneThread.folds.front().from, archive[150 - 30].date + " " + archive[120].period);
    cancel = true;
    EXPECT_TRUE(RunOptimiser(archive, plain, some, {30, 20, 5, 2}, cancel).Cancelled());
}

}  // namespace
}  // namespace xuan5
