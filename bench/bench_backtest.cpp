// The walk-forward back-test with the shipped lines (data/data.mdb) and plan mode one at five
// instances, on all cores, beside the same periods planned one at a time by the literal text
// algorithm.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <optional>

#include "backtest/null_search.h"
#include "backtest/optimiser.h"
#include "backtest/overfitting.h"
#include "backtest/walk_forward.h"
#include "core/text.h"
#include "oracle/literal_plans.h"
#include "oracle/literal_state.h"
#include "store/curve_store.h"
#include "support/sample_history.h"

namespace xuan5 {
namespace {

// The shipped curve store: the default data folder beside the benchmark binary, or the one in
// the source tree.
std::optional<LineTexts> ShippedLines() {
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    for (const auto& dir : {exe.parent_path() / "data",
                            std::filesystem::path(__FILE__).parent_path().parent_path() / "data"}) {
        if (auto lines = ReadCurveStoreFile(CurveStorePath(dir))) return *lines;
    }
    return std::nullopt;
}

struct Fixture {
    std::optional<LineTexts> lines = ShippedLines();
    std::vector<DatedDraw> archive;

    Fixture() {
        std::mt19937_64 rng(2026);
        auto day = *ParseDrawDate("2026-01-01");
        for (int i = 0; i < 1000 + kHistoryRows; ++i) {
            const int period = i % 42 + 1;
            if (i > 0 && period == 1) day += std::chrono::days(1);
            archive.push_back(
                {DrawDateText(day), PadNumber(period, 3), testing::RandomDrawNumbers(rng)});
        }
    }

    BacktestSettings Settings() const {
        BacktestSettings settings;
        settings.savedLines = *lines;
        settings.modeOne.instances = "5";
        return settings;
    }
};

Fixture& Data() {
    static Fixture fixture;
    return fixture;
}

void BM_Backtest(benchmark::State& bench) {
    const Fixture& f = Data();
    if (!f.lines) {
        bench.SkipWithError("data/data.mdb not found");
        return;
    }
    const BacktestSettings settings = f.Settings();
    const BacktestOptions options{static_cast<int>(bench.range(0)), 7, 0};
    std::atomic<bool> cancel{false};
    long long total = 0;
    for (auto _ : bench) {
        const Result<BacktestResult> result = RunBacktest(f.archive, settings, options, cancel);
        if (!result) {
            bench.SkipWithError("back-test refused");
            break;
        }
        total = result->summary.total;
        benchmark::DoNotOptimize(total);
    }
    // Shown beside the literal run's: the same periods must come to the same total.
    bench.counters["total"] = static_cast<double>(total);
}
BENCHMARK(BM_Backtest)->Arg(100)->Arg(500)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime();

// The shipped settings and 1000 candidates of plan mode one (X = 5, the shipped lines and bet
// counts) that differ in the line tolerance, the lines taking part and the total. Unset, and the
// benchmark skipped, when the data are missing.
struct ThousandCandidates {
    BacktestSettings settings;
    std::vector<OptimiserCandidate> candidates;
};

std::optional<ThousandCandidates> ThousandCandidateSearch(benchmark::State& bench) {
    const Fixture& f = Data();
    if (!f.lines) {
        bench.SkipWithError("data/data.mdb not found");
        return std::nullopt;
    }
    ThousandCandidates search{f.Settings(), {}};
    OptimiserSpace space;
    std::string ranges;  // every run of at least three counts from 01.. to ..15
    for (int lo = 1; lo <= 9; ++lo) {
        for (int hi = lo + 2; hi <= 15; ++hi)
            ranges += PadNumber(lo, 2) + "-" + PadNumber(hi, 2) + " ";
    }
    space.lineTolerances = *ParseToleranceChoices(ranges);
    space.lineChoices = *ParseLineChoices("01-15 01-10 06-15 01-05.11-15 01-12 04-15 02-14");
    space.instanceTolerances = *ParseToleranceChoices("01-05 02-05 03-05 04-05 05");
    search.candidates = *BuildCandidates(search.settings, space, 1000, 3);
    if (search.candidates.size() != 1000) {
        bench.SkipWithError("fewer than 1000 candidates");
        return std::nullopt;
    }
    return search;
}

// Training spans of 300 periods, test spans of 50, the best three of each judged.
constexpr OptimiserOptions kWalk{500, 300, 50, 3, OptimiserRank::Z, 7, 0, 0};

// "寻优": the thousand candidates back-tested over the same 500 periods and walked forward; the
// probability of overfitting over them is BM_OverfittingProbability. Beside it, `plain_s`: what
// 1000 separate back-tests of 500 periods take (1000 x BM_Backtest/500), from the middle of
// three timed runs.
void BM_Optimise(benchmark::State& bench) {
    const std::optional<ThousandCandidates> search = ThousandCandidateSearch(bench);
    if (!search) return;
    const Fixture& f = Data();
    const BacktestSettings& settings = search->settings;
    std::atomic<bool> cancel{false};
    const BacktestOptions options{500, 7, 0};
    std::vector<double> plain;  // seconds of three back-tests of 500 periods; the middle counts
    for (int run = 0; run < 3; ++run) {
        const auto started = std::chrono::steady_clock::now();
        if (!RunBacktest(f.archive, settings, options, cancel)) {
            bench.SkipWithError("back-test refused");
            return;
        }
        plain.push_back(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
    }
    std::sort(plain.begin(), plain.end());
    for (auto _ : bench) {
        const Result<OptimiserResult> result =
            RunOptimiser(f.archive, settings, search->candidates, kWalk, cancel);
        if (!result) {
            bench.SkipWithError("optimiser refused");
            break;
        }
        benchmark::DoNotOptimize(result->outOfSample.total);
    }
    bench.counters["plain_s"] = 1000 * plain[1];
}
BENCHMARK(BM_Optimise)->Unit(benchmark::kMillisecond)->UseRealTime();

// "过拟合概率" of the thousand candidates over 500 periods cut into S = 16 blocks: 12,870
// halvings, on all cores. The outcomes are drawn at random: the work does not depend on them.
void BM_OverfittingProbability(benchmark::State& bench) {
    std::mt19937_64 rng(16);
    CandidateOutcomes outcomes;
    outcomes.candidates = 1000;
    outcomes.periods = 500;
    for (std::size_t i = 0; i < outcomes.candidates * outcomes.periods; ++i) {
        const int size = static_cast<int>(rng() % 300);
        outcomes.planSizes.push_back(static_cast<std::int16_t>(size));
        outcomes.hits.push_back(static_cast<int>(rng() % kBetCount) < size);
    }
    std::atomic<bool> cancel{false};
    double probability = 0;
    for (auto _ : bench) {
        const Result<Overfitting> result =
            OverfittingProbability(outcomes, 16, OptimiserRank::Z, cancel);
        if (!result) {
            bench.SkipWithError("refused");
            break;
        }
        probability = result->probability;
        benchmark::DoNotOptimize(probability);
    }
    bench.counters["pbo"] = probability;
}
BENCHMARK(BM_OverfittingProbability)->Unit(benchmark::kMillisecond)->UseRealTime();

// "随机对照": the search of BM_Optimise run again on N fair archives of the same 620 draws.
void BM_OptimiseNull(benchmark::State& bench) {
    const std::optional<ThousandCandidates> search = ThousandCandidateSearch(bench);
    if (!search) return;
    const Fixture& f = Data();
    const std::vector<DatedDraw> archive(f.archive.end() - 500 - kHistoryRows, f.archive.end());
    std::atomic<bool> cancel{false};
    for (auto _ : bench) {
        const Result<std::vector<SearchFigures>> null =
            RunNullSearches(archive, search->settings, search->candidates, kWalk,
                            static_cast<int>(bench.range(0)), cancel);
        if (!null) {
            bench.SkipWithError("refused");
            break;
        }
        benchmark::DoNotOptimize(null->data());
    }
}
BENCHMARK(BM_OptimiseNull)->Arg(200)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

// Each period as the literal algorithm plans it: fifteen text searches per instance, the
// instances intersected by substring tests, the draw looked up in the plan text.
void BM_Backtest_Literal(benchmark::State& bench) {
    const Fixture& f = Data();
    if (!f.lines) {
        bench.SkipWithError("data/data.mdb not found");
        return;
    }
    const BacktestSettings settings = f.Settings();
    const PlanModeOneInput& input = settings.modeOne;
    const auto& sel = input.selection;
    const auto periods = static_cast<std::size_t>(bench.range(0));
    long long total = 0;
    for (auto _ : bench) {
        total = 0;
        for (std::size_t index = f.archive.size() - periods; index < f.archive.size(); ++index) {
            LiteralState state;
            state.DrawHistory = HistoryBefore(f.archive, index);
            state.DrawSeries = BuildDrawSeries(state.DrawHistory);
            state.CurveStoreLines = *f.lines;
            std::mt19937_64 rng(PeriodSeed(7, f.archive[index]));
            const auto plan = literal::LiteralRunPlanModeOne(
                state, 5, input.instanceTolerance, input.lines.lineSizes, sel.checkedLines,
                sel.lineTolerance, {sel.banker.enabled, sel.banker.numbers, sel.banker.tolerance},
                rng);
            DrawTable drawn{};
            drawn[1].numbers = f.archive[index].numbers;
            const std::string key = BuildDrawSeries(drawn)[kHistoryRows];
            total += (literal::Occurs(plan.plan.text, key) ? 924 : 0) - 2LL * plan.plan.count;
        }
        benchmark::DoNotOptimize(total);
    }
    bench.counters["total"] = static_cast<double>(total);
}
// A hundred literal plans take about half a minute: one timed run is enough for the ratio.
BENCHMARK(BM_Backtest_Literal)
    ->Arg(100)
    ->Iterations(1)
    ->Repetitions(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace xuan5
