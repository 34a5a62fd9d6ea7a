// Banker-number sort and group filter against their literal text versions.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>

#include "core/bets.h"
#include "core/text.h"
#include "oracle/literal_sortfilter.h"
#include "sortfilter/banker_sort.h"
#include "sortfilter/group_filter.h"

namespace {

using namespace xuan5;

const std::string kDefaultFilter = "01 02 03*04 05*07 08=12\r\n03 04 05*06 07 08*10 11=12\r\n";

DrawTable FullHistory() {
    std::mt19937_64 rng(2024);
    DrawTable history{};
    for (int r = 1; r <= kHistoryRows; ++r) {
        std::vector<int> numbers = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
        std::shuffle(numbers.begin(), numbers.end(), rng);
        std::string text;
        for (int i = 0; i < 5; ++i) text += (i ? "," : "") + PadNumber(numbers[i], 2);
        history[r] = {PadNumber(200 - r, 3), text};
    }
    return history;
}

// Argument: the window length W.
void BM_RefreshBankerSort(benchmark::State& state) {
    const DrawTable history = FullHistory();
    const std::string w = std::to_string(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(RefreshBankerSort(history, w, "3-3-5"));
}
BENCHMARK(BM_RefreshBankerSort)->Arg(10)->Arg(50)->Unit(benchmark::kMicrosecond);

void BM_RefreshBankerSort_Literal(benchmark::State& state) {
    const DrawTable history = FullHistory();
    const std::string w = std::to_string(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(literal::RefreshBankerSort(history, w, "3-3-5"));
}
BENCHMARK(BM_RefreshBankerSort_Literal)->Arg(10)->Arg(50)->Unit(benchmark::kMicrosecond);

void BM_RunGroupFilter(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(RunGroupFilter(kDefaultFilter, "12"));
}
BENCHMARK(BM_RunGroupFilter)->Unit(benchmark::kMicrosecond);

void BM_RunGroupFilter_Literal(benchmark::State& state) {
    const AllBetsTable allBets = BuildAllBets();
    for (auto _ : state)
        benchmark::DoNotOptimize(literal::RunGroupFilter(allBets, kDefaultFilter, "12"));
}
BENCHMARK(BM_RunGroupFilter_Literal)->Unit(benchmark::kMicrosecond);

}  // namespace
