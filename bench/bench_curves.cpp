// Profit curve and base search on a 120-draw history with a 230-bet target.
#include <benchmark/benchmark.h>

#include <cmath>

#include "curves/base_search.h"
#include "curves/profit_curve.h"
#include "oracle/literal_curves.h"
#include "support/sample_history.h"

namespace xuan5 {
namespace {

struct Fixture {
    DrawSeriesTable series;
    DrawKeyTable keys;
    AllBetsTable allBets = BuildAllBets();
    TrendLineTable line{};
    std::string base;

    Fixture() {
        series = BuildDrawSeries(testing::RandomHistory(2026));
        keys = DrawKeysFromSeries(series);
        // A wave around a slow rise, the kind of shape users draw.
        for (int i = 1; i <= kHistoryRows; ++i) {
            line[i] = static_cast<int>(20 * i + 1500 * std::sin(i / 12.0));
        }
        std::mt19937_64 rng(1);
        base = RenderBetSet(SearchBaseForLine("230", line, keys, rng).bets, " ");
    }
};

const Fixture& Data() {
    static const Fixture fixture;
    return fixture;
}

void BM_ComputeProfitSeries(benchmark::State& state) {
    const Fixture& f = Data();
    for (auto _ : state) benchmark::DoNotOptimize(ComputeProfitSeries(f.base, f.keys));
}
BENCHMARK(BM_ComputeProfitSeries);

void BM_ComputeProfitSeries_Literal(benchmark::State& state) {
    const Fixture& f = Data();
    for (auto _ : state) {
        benchmark::DoNotOptimize(literal::LiteralComputeProfitSeries(f.base, f.series));
    }
}
BENCHMARK(BM_ComputeProfitSeries_Literal);

void BM_SearchBaseForLine(benchmark::State& state) {
    const Fixture& f = Data();
    std::mt19937_64 rng(7);
    for (auto _ : state) {
        // The window shows the base as text, so the rendering is part of the work.
        BaseSearchResult r = SearchBaseForLine("230", f.line, f.keys, rng);
        benchmark::DoNotOptimize(RenderBetSet(r.bets, " "));
    }
}
BENCHMARK(BM_SearchBaseForLine);

void BM_SearchBaseForLine_Literal(benchmark::State& state) {
    const Fixture& f = Data();
    std::mt19937_64 rng(7);
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            literal::LiteralSearchBaseForLine("230", f.line, f.series, f.allBets, rng));
    }
}
BENCHMARK(BM_SearchBaseForLine_Literal);

}  // namespace
}  // namespace xuan5
