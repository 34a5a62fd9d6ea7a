#include "backtest/walk_forward.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "core/text.h"
#include "plans/plan_fixture.h"

namespace xuan5 {
namespace {

// `count` draws of 42 periods a day from 2026-10-01 on, oldest first.
std::vector<DatedDraw> Archive(std::size_t count, std::uint64_t seed) {
    std::mt19937_64 rng(seed);
    std::vector<DatedDraw> draws;
    auto day = *ParseDrawDate("2026-10-01");
    int period = 1;
    for (std::size_t i = 0; i < count; ++i) {
        draws.push_back({DrawDateText(day), PadNumber(period, 3), testing::RandomDrawNumbers(rng)});
        if (++period > 42) {
            period = 1;
            day += std::chrono::days(1);
        }
    }
    return draws;
}

// The draw key as the rules define it: the five numbers sorted ascending in the bet form.
std::string KeyOf(const std::string& numbers) {
    std::vector<int> n;
    for (auto part : SplitText(numbers, ",")) n.push_back(static_cast<int>(LeadingNumber(part)));
    std::sort(n.begin(), n.end());
    std::string key;
    for (int v : n) key += (key.empty() ? "" : ",") + PadNumber(v, 2);
    return key;
}

std::string BetsText(std::uint64_t seed, int bets) {
    std::mt19937_64 rng(seed);
    BetSet set;
    while (set.Count() < bets) set.Set(static_cast<int>(rng() % kBetCount) + 1);
    return RenderBetSet(set, "\r\n");
}

BacktestSettings ModeOneSettings() {
    BacktestSettings settings;
    settings.savedLines = testing::ShapedSavedLines();
    settings.modeOne.instances = "3";
    settings.modeOne.instanceTolerance = "02.03";
    settings.modeOne.selection.lineTolerance = "02.03.04.05.06.07.08.09";
    settings.modeOne.selection.checkedLines[4] = false;
    settings.modeOne.selection.banker.enabled = true;
    settings.modeOne.selection.banker.tolerance = "0.1.2.3";
    settings.modeOne.lines.lineSizes[0] = "120";
    settings.backup.participates = true;
    settings.backup.backup.boxes = {BetsText(1, 350), BetsText(2, 350), ""};
    settings.backup.backup.tolerance = "2";
    return settings;
}

struct ByHand {
    std::string plan;
    int size = 0;
    LiteralState state;
};

// One period through the plan engine directly, as the plan panel would have run it after the
// draw before it arrived.
ByHand PlanByHand(const std::vector<DatedDraw>& archive, std::size_t index,
                  const BacktestSettings& settings, std::uint64_t seed) {
    ByHand out;
    LiteralState& state = out.state;
    for (int r = 1; r <= kHistoryRows; ++r) {
        state.DrawHistory[r] = {archive[index - r].period, archive[index - r].numbers};
    }
    state.DrawSeries = BuildDrawSeries(state.DrawHistory);
    state.DrawKeys = DrawKeysFromSeries(state.DrawSeries);
    state.UpdateCount = 2;
    state.LineBases = settings.LineBases;
    std::mt19937_64 rng(PeriodSeed(seed, archive[index]));
    const Result<PlanRunOutput> run =
        settings.useModeTwo ? testing::PlanTwo(settings.modeTwo, settings.savedLines, state, rng)
                            : testing::PlanOne(settings.modeOne, settings.savedLines, state, rng);
    EXPECT_TRUE(run.ok());
    out.plan = run->plan.text;
    out.size = std::stoi(run->plan.count);
    JoinBackupInput join = settings.backup;
    join.plan.text = out.plan;
    const JoinBackupOutput joined = testing::Join(join, settings.modeOne.log, state);
    if (joined.plan) {
        out.plan = joined.plan->text;
        out.size = std::stoi(joined.plan->count);
    }
    return out;
}

TEST(Backtest, PeriodsAreThePlansOfThePlanEngineJudgedAgainstTheirDraws) {
    const auto archive = Archive(130, 5);
    const BacktestSettings settings = ModeOneSettings();
    std::atomic<bool> cancel{false};
    const Result<BacktestResult> run = RunBacktest(archive, settings, {6, 77, 2}, cancel);
    ASSERT_TRUE(run.ok());
    const BacktestResult& result = *run;
    EXPECT_TRUE(result.notices.empty());
    ASSERT_EQ(result.rows.size(), 6u);

    long long total = 0;
    for (std::size_t j = 0; j < result.rows.size(); ++j) {
        const BacktestRow& row = result.rows[j];
        const std::size_t index = 124 + j;
        const DatedDraw& drawn = archive[index];
        EXPECT_EQ(row.archiveIndex, index);
        EXPECT_EQ(row.period, drawn.period);
        EXPECT_EQ(row.date, drawn.date);
        EXPECT_EQ(row.numbers, drawn.numbers);

        const ByHand hand = PlanByHand(archive, index, settings, 77);
        const std::string key = KeyOf(drawn.numbers);
        EXPECT_EQ(row.planSize, hand.size) << j;
        EXPECT_EQ(row.hit, Contains(hand.plan, key)) << j;
        EXPECT_EQ(row.profit, (row.hit ? 924 : 0) - 2 * hand.size);
        total += row.profit;
        EXPECT_EQ(row.total, total);
        for (int k = 0; k < kLineCount; ++k) {
            EXPECT_EQ(row.lineHits[k], Contains(hand.state.LineBases[k], key)) << j << " " << k;
        }
        EXPECT_EQ(row.record, drawn.period + "期，开：" + drawn.numbers + "-" +
                                  PadNumber(hand.size, 3) + "注-" +
                                  (row.hit ? "中中中" : "一会中"));
        int instances = 0;
        for (int i = 1; i <= 3; ++i) instances += Contains(hand.state.InstanceBases[i], key);
        EXPECT_EQ(row.tally, "3-" + std::to_string(instances));
    }
    // The join keeps only bets of both backup boxes.
    const int backup = std::stoi(*IntersectBackupBases(settings.backup.backup).count);
    for (const BacktestRow& row : result.rows) EXPECT_LE(row.planSize, backup);
    EXPECT_EQ(result.summary.total, total);
}

TEST(Backtest, ModeTwoOnKeptBasesPlansTheSameBetsEveryPeriod) {
    const auto archive = Archive(135, 9);
    BacktestSettings settings;
    settings.useModeTwo = true;
    settings.modeTwo.lines.searchEveryPeriod = false;
    settings.modeTwo.groupTotalTolerance = "01.02.03";
    settings.savedLines = testing::ShapedSavedLines();
    for (int k = 0; k < kLineCount; ++k) {
        settings.LineBases[k] = ReplaceAll(BetsText(100 + k, 150 + 10 * k), "\r\n", " ");
    }
    const BetSet plan = GroupedLinesPlan(
        LineBaseSetsFromTexts(settings.LineBases),
        {settings.modeTwo.group1, settings.modeTwo.group2, settings.modeTwo.group3},
        {settings.modeTwo.group1Tolerance, settings.modeTwo.group2Tolerance,
         settings.modeTwo.group3Tolerance},
        settings.modeTwo.groupTotalTolerance, FullBetSet());
    ASSERT_GT(plan.Count(), 0);

    std::atomic<bool> cancel{false};
    const Result<BacktestResult> run = RunBacktest(archive, settings, {1000, 3, 2}, cancel);
    ASSERT_TRUE(run.ok());
    const BacktestResult& result = *run;
    // Keeping the bases is the user's choice here, not a mistake to report.
    EXPECT_TRUE(result.notices.empty());
    ASSERT_EQ(result.rows.size(), 15u);  // all the archive allows
    std::array<int, kLineCount> lineHits{};
    for (const BacktestRow& row : result.rows) {
        const int key = BetFromText(KeyOf(row.numbers));
        EXPECT_EQ(row.planSize, plan.Count());
        EXPECT_EQ(row.hit, plan.Test(key));
        EXPECT_EQ(row.tally, "模式二");
        for (int k = 0; k < kLineCount; ++k) {
            EXPECT_EQ(row.lineHits[k], Contains(settings.LineBases[k], BetText(key)));
            lineHits[k] += row.lineHits[k];
        }
    }
    for (int k = 0; k < kLineCount; ++k) {
        EXPECT_EQ(result.lines[k].hits, lineHits[k]);
        EXPECT_DOUBLE_EQ(result.lines[k].hitRate, lineHits[k] / 15.0);
    }
}

TEST(Backtest, SameResultOnOneOrTwoThreadsAndOverSeveralSeeds) {
    const auto archive = Archive(128, 11);
    const BacktestSettings settings = ModeOneSettings();
    std::atomic<bool> cancel{false};
    std::vector<int> progress;
    const Result<BacktestResult> oneRun =
        RunBacktest(archive, settings, {8, 40, 1}, cancel,
                    [&](int done, int total) { progress.push_back(done * 100 + total); });
    const Result<BacktestResult> twoRun = RunBacktest(archive, settings, {8, 40, 2}, cancel);
    ASSERT_TRUE(oneRun.ok());
    ASSERT_TRUE(twoRun.ok());
    const BacktestResult& one = *oneRun;
    const BacktestResult& two = *twoRun;
    EXPECT_EQ(one.rows, two.rows);
    EXPECT_EQ(one.summary, two.summary);
    EXPECT_EQ(one.lines, two.lines);
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.back(), 808);
    EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));

    // One period alone, with its generator, is the run's row before the running totals.
    std::mt19937_64 rng(PeriodSeed(40, archive[123]));
    const Result<PeriodRun> period = BacktestPeriod(archive, 123, settings, rng);
    ASSERT_TRUE(period.ok());
    EXPECT_TRUE(period->notices.empty());
    BacktestRow alone = period->row;
    alone.profit = one.rows[3].profit;
    alone.total = one.rows[3].total;
    EXPECT_EQ(alone, one.rows[3]);
    EXPECT_FALSE(BacktestPeriod(archive, 119, settings, rng));
    EXPECT_FALSE(BacktestPeriod(archive, 128, settings, rng));

    // A shorter run repeats the newest periods of a longer one.
    const BacktestResult shorter = *RunBacktest(archive, settings, {3, 40, 2}, cancel);
    ASSERT_EQ(shorter.rows.size(), 3u);
    EXPECT_EQ(shorter.rows[0].record, one.rows[5].record);
    EXPECT_EQ(shorter.rows[2].planSize, one.rows[7].planSize);
    // So does a run over only the draws it needs, and one over an archive that reaches further
    // back: a period's generator follows the period, not its place in the archive.
    const std::vector<DatedDraw> needed(archive.end() - 123, archive.end());
    std::vector<DatedDraw> longer = Archive(40, 12);
    for (DatedDraw& draw : longer) draw.date.replace(0, 4, "2025");
    longer.insert(longer.end(), archive.begin(), archive.end());
    for (const auto* base : {&needed, &static_cast<const std::vector<DatedDraw>&>(longer)}) {
        const BacktestResult moved = *RunBacktest(*base, settings, {3, 40, 2}, cancel);
        ASSERT_EQ(moved.rows.size(), 3u);
        for (std::size_t j = 0; j < 3; ++j) {
            BacktestRow row = moved.rows[j];
            row.archiveIndex = shorter.rows[j].archiveIndex;
            EXPECT_EQ(row, shorter.rows[j]) << j;
        }
    }

    const BacktestResult other = *RunBacktest(archive, settings, {8, 41, 2}, cancel);
    const Result<SeedsResult> seedsRun = RunBacktestSeeds(archive, settings, {8, 40, 2}, 3, cancel);
    ASSERT_TRUE(seedsRun.ok());
    const SeedsResult& seeds = *seedsRun;
    EXPECT_EQ(seeds.seeds, (std::vector<std::uint64_t>{40, 41, 42}));
    ASSERT_EQ(seeds.totals.size(), 3u);
    EXPECT_EQ(seeds.totals[0], one.summary.total);
    EXPECT_EQ(seeds.totals[1], other.summary.total);
    EXPECT_EQ(seeds.spread, SpreadOfTotals(seeds.totals));
    // Mode one is random: another seed plans other bets.
    bool differs = false;
    for (std::size_t j = 0; j < 8; ++j) differs |= one.rows[j].planSize != other.rows[j].planSize;
    EXPECT_TRUE(differs);
}

TEST(Backtest, CancelRefusedInputAndUnusableArchives) {
    const auto archive = Archive(150, 21);
    const BacktestSettings settings = ModeOneSettings();

    std::atomic<bool> cancel{true};
    int calls = 0;
    Result<BacktestResult> result =
        RunBacktest(archive, settings, {30, 1, 2}, cancel, [&](int, int) { ++calls; });
    EXPECT_TRUE(result.Cancelled());
    EXPECT_EQ(calls, 0);

    // Cancelled from the progress report after the first period, with periods left to do.
    cancel = false;
    result = RunBacktest(archive, settings, {30, 1, 1}, cancel, [&](int done, int) {
        if (done >= 1) cancel = true;
    });
    EXPECT_TRUE(result.Cancelled());
    cancel = false;
    EXPECT_TRUE(RunBacktestSeeds(archive, settings, {30, 1, 2}, 4, cancel, [&](int, int) {
                    cancel = true;
                }).Cancelled());

    cancel = false;
    BacktestSettings refused = settings;
    refused.modeOne.instances = "";
    result = RunBacktest(archive, refused, {5, 1, 2}, cancel);
    EXPECT_FALSE(result.ok());
    EXPECT_EQ(result.messages(), (std::vector<Message>{{kMsgPlanInputError, kTitleNotice}}));

    result = RunBacktest(Archive(120, 1), settings, {5, 1, 2}, cancel);
    EXPECT_FALSE(result.ok());
    EXPECT_EQ(result.messages(),
              (std::vector<Message>{{"本地开奖数据不足121期，无法回测。请先“下载历史”。",
                                     kTitleErrorNotice, Message::Kind::NotFound}}));

    // A broken draw inside the histories read is refused; one before them is not read at all.
    auto broken = archive;
    broken[26].numbers = "01,01,02,03,04";
    result = RunBacktest(broken, settings, {5, 1, 2}, cancel);
    EXPECT_FALSE(result.ok());
    ASSERT_EQ(result.messages().size(), 1u);
    EXPECT_NE(result.messages()[0].text.find(broken[26].date + " " + broken[26].period),
              std::string::npos);
    EXPECT_TRUE(RunBacktest(broken, settings, {1, 1, 2}, cancel).ok());

    // A damaged saved line is reported once for the run, not once per period.
    BacktestSettings damaged = settings;
    damaged.savedLines[3] = "1*2*x";
    result = RunBacktest(archive, damaged, {4, 1, 2}, cancel);
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(result->notices.size(), 1u);
    EXPECT_EQ(result->rows.size(), 4u);
}

}  // namespace
}  // namespace xuan5
