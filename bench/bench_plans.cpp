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
    input.T_jh_dadi_chongfu_cs = std::to_string(bench.range(0));
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
            state, x, input.T_jh_dadi_chongfu_rc, input.lines.T_quxian_zhushu, sel.Ch_jiankong_jj,
            sel.T_jiankong_rc,
            {sel.banker.Check_danma_jiaoji, sel.banker.T_jiaoji_danma,
             sel.banker.T_jiaoji_danma_rc},
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
            bases[i] =
                literal::LiteralSearchBaseForLine(input.lines.T_quxian_zhushu[i], state.TrendLine,
                                                  state.DrawSeries, all, rng)
                    .tdadi;
        }
        benchmark::DoNotOptimize(literal::LiteralGroupedLines(
            bases, {input.T_jh_dadi_fenzu_01, input.T_jh_dadi_fenzu_02, input.T_jh_dadi_fenzu_03},
            {input.T_jh_dadi_fenzu_01_rc, input.T_jh_dadi_fenzu_02_rc, input.T_jh_dadi_fenzu_03_rc},
            input.T_jh_dadi_fenzu_rc, {}));
    }
}
BENCHMARK(BM_RunPlanModeTwo_Literal)->Unit(benchmark::kMicrosecond);

void BM_IntersectLineBases(benchmark::State& bench) {
    const Fixture& f = Data();
    LineIntersectionInput input;
    input.banker.Check_danma_jiaoji = true;
    for (auto _ : bench) benchmark::DoNotOptimize(IntersectLineBases(input, f.lineBases));
}
BENCHMARK(BM_IntersectLineBases);

void BM_IntersectLineBases_Literal(benchmark::State& bench) {
    const Fixture& f = Data();
    const LineIntersectionInput input;
    for (auto _ : bench) {
        benchmark::DoNotOptimize(literal::LiteralIntersectLineBases(
            f.lineBases, input.Ch_jiankong_jj, input.T_jiankong_rc,
            {true, input.banker.T_jiaoji_danma, input.banker.T_jiaoji_danma_rc}));
    }
}
BENCHMARK(BM_IntersectLineBases_Literal);

}  // namespace
}  // namespace xuan5
