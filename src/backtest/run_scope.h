// What a run tested: the region, the periods and the archive they came from, the plan settings
// and the seed, and for "寻优" the candidates, spans and checks. Said in the back-test's and
// the optimiser's summaries and at the head of every CSV they export, since a figure read apart
// from what produced it says nothing.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "backtest/candidates.h"
#include "backtest/optimiser.h"
#include "plans/plan_settings.h"

namespace xuan5 {

struct RunScope {
    std::string region;  // the region's name
    std::string first;   // "YYYY-MM-DD NNN" of the oldest tested period
    std::string last;    // ... and of the newest
    int periods = 0;
    int archiveDraws = 0;  // what the archive held for the region
    std::uint64_t seed = 1;
};

// "计划模式一（每期算号）：容对03-10 线01-15 X5 总05，胆码过滤关，备用底不参与".
std::string PlanSettingsText(const PlanSettings& settings);

// Region and periods, plan settings, bet counts, seed: a line each.
std::vector<std::string> BacktestScope(const RunScope& scope, const PlanSettings& settings);

// What "寻优" varied and how it judged.
struct SearchScope {
    std::size_t candidates = 0;
    std::vector<std::string> lists;  // DescribeSpace
    OptimiserOptions options;
    int nullRuns = 0;  // 0: no "随机对照"
};

// The back-test's lines (the settings being the ones the candidates vary from), then the
// candidates and the spans and checks.
std::vector<std::string> OptimiserScope(const RunScope& scope, const PlanSettings& settings,
                                        const SearchScope& search);

}  // namespace xuan5
