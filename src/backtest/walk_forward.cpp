#include "backtest/walk_forward.h"

#include <algorithm>
#include <exception>
#include <functional>
#include <stdexcept>

#include "core/bets.h"
#include "core/draw_history.h"
#include "core/random.h"
#include "core/text.h"
#include "plans/plan_issue.h"
#include "plans/plan_settlement.h"

namespace xuan5 {
namespace {

// The draws of the archive with their keys, worked out once per run rather than once for each
// of the 120 histories that hold a draw.
struct KeyedArchive {
    const std::vector<DatedDraw>& draws;
    std::vector<int> keys;  // 0 before the first draw a run reads
};

KeyedArchive KeyArchive(const std::vector<DatedDraw>& archive, std::size_t from) {
    return {archive, ArchiveKeys(archive, from)};
}

Result<PeriodRun> EvaluatePeriod(const KeyedArchive& archive, std::size_t index,
                                 const BacktestSettings& settings, std::mt19937_64& rng) {
    const DrawTable history = HistoryBefore(archive.draws, index);
    const DrawKeyTable keys = KeysBefore(archive.keys, index);
    // A batch run starts every period from the settings' small bases and a blank log; the
    // drawing panel's line plays no part.
    const TrendLineTable noLine{};
    const PlanLog log;
    const PlanTables tables{history, keys, settings.LineBases, noLine, log};
    Result<IssuedPlan> plan = MakePlan(settings, settings.savedLines, tables, rng);
    if (!plan) return plan.failure();
    const LineTexts& lineBases = plan->lineBases ? *plan->lineBases : settings.LineBases;

    const DatedDraw& drawn = archive.draws[index];
    PeriodRun out;
    out.notices = std::move(plan->notices);
    BacktestRow& row = out.row;
    row.archiveIndex = index;
    row.period = drawn.period;
    row.date = drawn.date;
    row.numbers = drawn.numbers;
    row.planSize = ParseInteger32(plan->plan.count).value_or(0);

    // The period's draw arrives, and the pending record is completed as the after-draw pipeline
    // completes it.
    const int key = archive.keys[index];
    for (int k = 0; k < kLineCount; ++k) row.lineHits[k] = BaseHoldsKey(lineBases[k], key);
    JudgedRecord settled = JudgeRecord(plan->basis, settings.resultWords,
                                       DrawRecord{drawn.period, drawn.numbers, drawn.date}, key);
    row.hit = settled.hit;
    row.tally = std::move(settled.tally);
    row.record = std::move(settled.text);
    return out;
}

// Tests period span.first + i % span.count under seed seeds[i / span.count] for every item i on
// the pool, handing each row to keep(i, row) on the thread that made it. Ends with the notices
// of the first item; fails with the messages of the first item whose plan mode refused its
// input, without messages when cancelled, and with kMsgBacktestFailed when the engine threw.
template <typename Keep>
Result<std::vector<Message>> RunPeriods(const KeyedArchive& keyed, const TestedSpan& span,
                                        const BacktestSettings& settings,
                                        const std::vector<std::uint64_t>& seeds, int threads,
                                        std::atomic<bool>& cancel,
                                        const BacktestProgressFn& progress, const Keep& keep) {
    const std::size_t items = seeds.size() * span.count;
    // Only what a refusal says is kept per item: K runs of N periods need no table of rows.
    std::vector<std::optional<std::vector<Message>>> refusals(items);
    std::vector<Message> firstNotices;
    const Status ran =
        ParallelFor(items, ThreadCount(threads, items), cancel, progress, [&](std::size_t i) {
            const std::size_t index = span.first + i % span.count;
            std::mt19937_64 rng(PeriodSeed(seeds[i / span.count], keyed.draws[index]));
            Result<PeriodRun> run = EvaluatePeriod(keyed, index, settings, rng);
            if (!run) {
                refusals[i] = run.messages();
                return false;
            }
            if (i == 0) firstNotices = std::move(run->notices);
            keep(i, std::move(run->row));
            return true;
        });
    // What the engine threw says more than a refusal it may have cut short.
    if (!ran && !ran.Cancelled()) return ran.failure();
    for (const auto& refusal : refusals) {
        if (refusal) return Failure{RunNotices(*refusal)};
    }
    if (!ran) return ran.failure();
    return RunNotices(firstNotices);
}

}  // namespace

std::uint64_t PeriodSeed(std::uint64_t seed, const DatedDraw& draw) {
    // FNV-1a over "date|period": fixed by the standard of the bytes, not by std::hash.
    std::uint64_t identity = 0xCBF29CE484222325ull;
    for (const std::string* part : {&draw.date, &draw.period}) {
        for (unsigned char c : *part) identity = (identity ^ c) * 0x100000001B3ull;
        identity = (identity ^ '|') * 0x100000001B3ull;
    }
    std::uint64_t mixed = SplitMix64(seed) ^ identity;
    return SplitMix64(mixed);
}

DrawTable HistoryBefore(const std::vector<DatedDraw>& archive, std::size_t archiveIndex) {
    DrawTable table{};
    for (int r = 1; r <= kHistoryRows && static_cast<std::size_t>(r) <= archiveIndex; ++r) {
        const DatedDraw& draw = archive[archiveIndex - static_cast<std::size_t>(r)];
        table[r] = {draw.period, draw.numbers, draw.date};
    }
    return table;
}

Result<PeriodRun> BacktestPeriod(const std::vector<DatedDraw>& archive, std::size_t archiveIndex,
                                 const BacktestSettings& settings, std::mt19937_64& rng) {
    const auto history = static_cast<std::size_t>(kHistoryRows);
    if (archiveIndex < history || archiveIndex >= archive.size()) {
        return TooFewDraws();
    }
    return EvaluatePeriod(KeyArchive(archive, archiveIndex - history), archiveIndex, settings, rng);
}

Result<BacktestResult> RunBacktest(const std::vector<DatedDraw>& archive,
                                   const BacktestSettings& settings, const BacktestOptions& options,
                                   std::atomic<bool>& cancel, const BacktestProgressFn& progress) {
    const Result<TestedSpan> span = TestedPeriods(archive, options.periods);
    if (!span) return span.failure();
    const KeyedArchive keyed = KeyArchive(archive, span->firstRead);
    BacktestResult result;
    result.rows.resize(span->count);
    const Result<std::vector<Message>> notices =
        RunPeriods(keyed, *span, settings, {options.seed}, options.threads, cancel, progress,
                   [&](std::size_t i, BacktestRow&& row) { result.rows[i] = std::move(row); });
    if (!notices) return notices.failure();
    result.notices = *notices;
    result.omissions = NumberOmissions(archive);
    FillRunningTotals(result.rows);
    result.summary = SummarizeBacktest(result.rows);
    result.lines = LineRecords(result.rows);
    std::vector<int> sizes;
    sizes.reserve(result.rows.size());
    for (const BacktestRow& row : result.rows) sizes.push_back(row.planSize);
    result.chance = ChanceOfTotal(sizes, result.summary.total);
    result.band = RunningChanceBand(sizes);
    return result;
}

Result<SeedsResult> RunBacktestSeeds(const std::vector<DatedDraw>& archive,
                                     const BacktestSettings& settings,
                                     const BacktestOptions& options, int seedCount,
                                     std::atomic<bool>& cancel,
                                     const BacktestProgressFn& progress) {
    const Result<TestedSpan> span = TestedPeriods(archive, options.periods);
    if (!span) return span.failure();
    SeedsResult result;
    const auto seeds = static_cast<std::size_t>(std::max(seedCount, 0));
    for (std::size_t s = 0; s < seeds; ++s) result.seeds.push_back(options.seed + s);

    const KeyedArchive keyed = KeyArchive(archive, span->firstRead);
    std::vector<long long> profits(seeds * span->count, 0);
    std::vector<int> sizes(seeds * span->count, 0);
    const Result<std::vector<Message>> notices =
        RunPeriods(keyed, *span, settings, result.seeds, options.threads, cancel, progress,
                   [&](std::size_t i, BacktestRow&& row) {
                       profits[i] = PeriodProfit(row.hit, row.planSize);
                       sizes[i] = row.planSize;
                   });
    if (!notices) return notices.failure();
    result.notices = *notices;
    for (std::size_t s = 0; s < seeds; ++s) {
        long long total = 0;
        ChanceSums chance;
        for (std::size_t j = 0; j < span->count; ++j) {
            total += profits[s * span->count + j];
            chance.Add(sizes[s * span->count + j]);
        }
        result.totals.push_back(total);
        result.chances.push_back(JudgeTotal(chance, total));
    }
    result.spread = SpreadOfTotals(result.totals);
    return result;
}

}  // namespace xuan5
