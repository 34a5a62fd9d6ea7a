// The walk-forward back-test: for each of the last N periods of an archive, the plan that the
// plan panel would have issued from the 120 draws before it, judged against that period's draw.
// Periods are independent, so they run on all cores; each period draws its randomness from a
// generator of its own, which makes the result the same whatever the number of threads.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "backtest/backtest_stats.h"
#include "backtest/batch.h"
#include "backtest/chance.h"
#include "core/dated_draw.h"
#include "core/result.h"
#include "core/tables.h"
#include "plans/plan_settings.h"

namespace xuan5 {

// The plan settings of the window with the lines they plan from.
struct BacktestSettings : PlanSettings {
    LineTexts savedLines;  // the fifteen saved lines, as read from the curve store
    // The small bases in force. Under "保持当前底" (searchEveryPeriod off in the active mode's
    // lines) no period recomputes them and every period plans with these.
    LineTexts LineBases;
};

struct BacktestOptions {
    int periods = 100;  // the last N periods of the archive; fewer when it holds fewer
    std::uint64_t seed = 1;
    int threads = 0;  // 0: one per core
};

struct BacktestResult {
    // What the plan mode reported (a damaged saved line), each once; the notice of "保持当前底"
    // is left out, since keeping the bases is what the user asked for.
    std::vector<Message> notices;
    std::vector<BacktestRow> rows;  // oldest period first
    BacktestSummary summary;
    std::array<LineRecord, kLineCount> lines{};
    OmissionTable omissions{};    // over the archive's newest 120 draws
    ChanceBand chance;            // of the total, over the rows' plan sizes
    std::vector<BandPoint> band;  // of the running total, row by row
};

// The generator seed of a period in a run seeded with `seed`. It depends on the period's date
// and number alone, not on N nor on how far back the archive reaches, so a longer run repeats
// the periods of a shorter one and older draws imported later change nothing already seen.
std::uint64_t PeriodSeed(std::uint64_t seed, const DatedDraw& draw);

// The draw table that the plan panel holds before the period at `archiveIndex`: the 120 draws
// before it, row 1 the newest. archiveIndex must be at least 120.
DrawTable HistoryBefore(const std::vector<DatedDraw>& archive, std::size_t archiveIndex);

// One tested period and what its plan mode reported.
struct PeriodRun {
    BacktestRow row;  // every field but profit and total
    std::vector<Message> notices;
};

// One period through the plan engine, with the given generator. Fails with the plan mode's
// messages when it refused its input, and when not 120 <= archiveIndex < archive.size().
Result<PeriodRun> BacktestPeriod(const std::vector<DatedDraw>& archive, std::size_t archiveIndex,
                                 const BacktestSettings& settings, std::mt19937_64& rng);

// Tests the last `options.periods` periods of the archive (oldest first), checking `cancel`
// between periods. Fails with TooFewDraws when not one period has 120 draws before
// it, with kMsgBacktestBadDraw for a draw of the tested span that is no valid draw, with the
// plan mode's messages when it refused its input, and without messages when cancelled.
Result<BacktestResult> RunBacktest(const std::vector<DatedDraw>& archive,
                                   const BacktestSettings& settings, const BacktestOptions& options,
                                   std::atomic<bool>& cancel,
                                   const BacktestProgressFn& progress = {});

struct SeedsResult {
    std::vector<Message> notices;
    std::vector<std::uint64_t> seeds;  // options.seed, options.seed + 1, ...
    std::vector<long long> totals;     // the total of each seed's run
    std::vector<ChanceBand> chances;   // each total against its own run's plan sizes
    TotalsSpread spread;
};

// "多次": the same back-test under `seedCount` seeds from options.seed on. Progress counts
// periods over all seeds; failures as for RunBacktest.
Result<SeedsResult> RunBacktestSeeds(const std::vector<DatedDraw>& archive,
                                     const BacktestSettings& settings,
                                     const BacktestOptions& options, int seedCount,
                                     std::atomic<bool>& cancel,
                                     const BacktestProgressFn& progress = {});

}  // namespace xuan5
