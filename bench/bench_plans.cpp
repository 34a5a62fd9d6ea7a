// Plan runs on a 120-draw history with fifteen saved lines of 230 bets each, beside the text
// versions of the same runs.
#include <benchmark/benchmark.h>

#include "oracle/literal_plans.h"
#include "plans/line_intersection.h"
#include "plans/plan_fixture.h"
#include "plans/plan_modes.h"

namespace xuan5 {
namespace {

struct Fixture {
    LiteralState state = testing::LoadedState(2026);
    LineTexts lineBases;

    Fixture() {
        state.CurveStoreLines = testing::ShapedSavedLines();
        std::mt19937_64 rng(1);
        testing::Extract(LineBasesInput{}, state, rng);
        lineBases = state.LineBases;
    }
};

Fixture& Data() {
    static Fixture fixture;
    return fixture;
}

void BM_RunPlanModeOne(benchmark::State& bench) {
    Fixture& f = Data();
    const LiteralState state = f.state;
    PlanModeOneInput input;
    input.instances = std::to_string(bench.range(0));
    std::mt19937_64 rng(7);
    for (auto _ : bench) {
        benchmark::DoNotOptimize(
            RunPlanModeOne(input, state.CurveStoreLines, testing::TablesOf(state), rng));
    }
}
BENCHMARK(BM_RunPlanModeOne)->Arg(5)->Arg(1000)->Unit(benchmark::kMicrosecond);

void BM_RunPlanModeOne_Literal(benchmark::State& bench) {
    Fixture& f = Data();
    LiteralState state = f.state;
    const PlanModeOneInput input;
    const auto& sel = input.selection;
    const int x = static_cast<int>(bench.range(0));
    std::mt19937_64 rng(7);
    for (auto _ : bench) {
        benchmark::DoNotOptimize(literal::LiteralRunPlanModeOne(
            state, x, input.instanceTolerance, input.lines.lineSizes, sel.checkedLines,
            sel.lineTolerance, {sel.banker.enabled, sel.banker.numbers, sel.banker.tolerance},
            rng));
    }
}
BENCHMARK(BM_RunPlanModeOne_Literal)->Arg(5)->Unit(benchmark::kMicrosecond);
// A thousand literal instances take about a minute: one timed run is enough for the ratio.
BENCHMARK(BM_RunPlanModeOne_Literal)
    ->Arg(1000)
    ->Iterations(1)
    ->Repetitions(1)
    ->Unit(benchmark::kMicrosecond);

void BM_RunPlanModeTwo(benchmark::State& bench) {
    Fixture& f = Data();
    const LiteralState state = f.state;
    const PlanModeTwoInput input;
    std::mt19937_64 rng(7);
    for (auto _ : bench) {
        benchmark::DoNotOptimize(
            RunPlanModeTwo(input, state.CurveStoreLines, testing::TablesOf(state), rng));
    }
}
BENCHMARK(BM_RunPlanModeTwo)->Unit(benchmark::kMicrosecond);

void BM_RunPlanModeTwo_Literal(benchmark::State& bench) {
    Fixture& f = Data();
    LiteralState state = f.state;
    const PlanModeTwoInput input;
    const AllBetsTable all = BuildAllBets();
    std::mt19937_64 rng(7);
    for (auto _ : bench) {
        LineTexts bases;
        for (int i = 0; i < kLineCount; ++i) {
            if (auto line = ParseTrendLine(state.CurveStoreLines[i], state.TrendLine))
                state.TrendLine = *line;
            bases[i] = literal::LiteralSearchBaseForLine(input.lines.lineSizes[i], state.TrendLine,
                                                         state.DrawSeries, all, rng)
                           .tdadi;
        }
        benchmark::DoNotOptimize(literal::LiteralGroupedLines(
            bases, {input.group1, input.group2, input.group3},
            {input.group1Tolerance, input.group2Tolerance, input.group3Tolerance},
            input.groupTotalTolerance, {}));
    }
}
BENCHMARK(BM_RunPlanModeTwo_Literal)->Unit(benchmark::kMicrosecond);

void BM_IntersectLineBases(benchmark::State& bench) {
    const Fixture& f = Data();
    LineIntersectionInput input;
    input.banker.enabled = true;
    for (auto _ : bench) benchmark::DoNotOptimize(IntersectLineBases(input, f.lineBases));
}
BENCHMARK(BM_IntersectLineBases);

void BM_IntersectLineBases_Literal(benchmark::State& bench) {
    const Fixture& f = Data();
    const LineIntersectionInput input;
    for (auto _ : bench) {
        benchmark::DoNotOptimize(literal::LiteralIntersectLineBases(
            f.lineBases, input.checkedLines, input.lineTolerance,
            {true, input.banker.numbers, input.banker.tolerance}));
    }
}
BENCHMARK(BM_IntersectLineBases_Literal);

}  // namespace
}  // namespace xuan5
