#include "backtest/walk_forward.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <thread>

#include "core/bets.h"
#include "core/draw_history.h"
#include "core/random.h"
#include "core/text.h"
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
    KeyedArchive keyed{archive, std::vector<int>(archive.size(), 0)};
    for (std::size_t i = from; i < archive.size(); ++i) {
        keyed.keys[i] = DrawKeyOf(archive[i].numbers);
    }
    return keyed;
}

// The history with the archive's draw `newest` on row 1 and its keys, as the update step leaves
// them (the keys of valid draws are the ones the key series gives).
struct PeriodHistory {
    DrawTable DrawHistory{};
    DrawKeyTable DrawKeys{};
};

PeriodHistory HistoryAt(const KeyedArchive& archive, std::size_t newest) {
    PeriodHistory history;
    for (int r = 1; r <= kHistoryRows; ++r) {
        const std::size_t i = newest + 1 - static_cast<std::size_t>(r);
        history.DrawHistory[r] = {archive.draws[i].period, archive.draws[i].numbers,
                                  archive.draws[i].date};
        history.DrawKeys[kHistoryRows + 1 - r] = archive.keys[i];
    }
    return history;
}

Result<PeriodRun> EvaluatePeriod(const KeyedArchive& archive, std::size_t index,
                                 const BacktestSettings& settings, std::mt19937_64& rng) {
    const PeriodHistory before = HistoryAt(archive, index - 1);
    // A batch run starts every period from the settings' small bases and a blank log; the
    // drawing panel's line plays no part.
    const TrendLineTable noLine{};
    const PlanLog log;
    const PlanTables tables{before.DrawHistory, before.DrawKeys, settings.LineBases, noLine, log};
    const bool modeTwo = settings.Check_jh_dadi_fenzu;
    Result<PlanRunOutput> run =
        modeTwo ? RunPlanModeTwo(settings.modeTwo, settings.savedLines, tables, rng)
                : RunPlanModeOne(settings.modeOne, settings.savedLines, tables, rng);
    if (!run) return run.failure();
    std::string plan = std::move(run->T_jihua_jj_dadi);
    std::string size = std::move(run->T_jihua_jj_dadi_zhushu);

    JoinBackupInput join = settings.backup;
    join.T_jihua_jj_dadi = plan;
    const PlanLogInput& logInput = modeTwo ? settings.modeTwo.log : settings.modeOne.log;
    JoinBackupOutput joined = JoinBackupIntoPlan(join, logInput, before.DrawHistory, log);
    if (joined.plan) {
        plan = std::move(joined.plan->text);
        size = std::move(joined.plan->count);
    }
    const LineTexts& lineBases = run->LineBases ? *run->LineBases : settings.LineBases;
    static const std::vector<std::string> kNoInstances;
    const std::vector<std::string>& instances =
        run->InstanceBases ? *run->InstanceBases : kNoInstances;

    const DatedDraw& drawn = archive.draws[index];
    PeriodRun out;
    out.notices = std::move(run->messages);
    BacktestRow& row = out.row;
    row.archiveIndex = index;
    row.period = drawn.period;
    row.date = drawn.date;
    row.numbers = drawn.numbers;
    row.planSize = ParseInteger32(size).value_or(0);

    // The period's draw arrives, and the pending record is completed as the after-draw pipeline
    // completes it.
    const int key = archive.keys[index];
    row.hit = BaseHoldsKey(plan, key);
    int checked = 0;
    for (int k = 0; k < kLineCount; ++k) {
        row.lineHits[k] = BaseHoldsKey(lineBases[k], key);
        if (settings.modeOne.selection.Ch_jiankong_jj[k]) ++checked;
    }

    ResultRecordInput result;
    result.T_jihua_jj_dadi = std::move(plan);
    result.T_jihua_jj_dadi_zhushu = std::move(size);
    result.Check_jh_dadi_fenzu = modeTwo;
    result.T_jh_dadi_chongfu_cs = settings.modeOne.T_jh_dadi_chongfu_cs;
    result.Ch_jiankong_jj = settings.modeOne.selection.Ch_jiankong_jj;
    result.T_jiankong_15di_geshu = std::to_string(checked);
    JudgedRecord settled =
        JudgeRecord(MakeRecordBasis(result, lineBases, instances), settings.T_zdy_yongyu,
                    DrawRecord{drawn.period, drawn.numbers, drawn.date}, key);
    row.tally = std::move(settled.tally);
    row.record = std::move(settled.text);
    return out;
}

// Runs work(i) once for every i below count on `threads` threads, and reports progress on the
// calling thread. Stops handing out indices when `cancel` is set or work returns false. True
// when every index ran. An exception thrown by work ends the run and is rethrown here.
bool ParallelFor(std::size_t count, int threads, std::atomic<bool>& cancel,
                 const BacktestProgressFn& progress, const std::function<bool(std::size_t)>& work) {
    if (count == 0) return true;
    std::atomic<std::size_t> next{0};
    std::atomic<bool> stop{false};
    std::mutex mutex;
    std::condition_variable changed;
    std::size_t done = 0;
    int running = threads;
    std::exception_ptr failure;

    const auto worker = [&] {
        try {
            while (!cancel.load() && !stop.load()) {
                const std::size_t i = next.fetch_add(1);
                if (i >= count) break;
                const bool goOn = work(i);
                if (!goOn) stop = true;
                {
                    std::lock_guard lock(mutex);
                    ++done;
                }
                changed.notify_one();
            }
        } catch (...) {
            std::lock_guard lock(mutex);
            if (!failure) failure = std::current_exception();
            stop = true;
        }
        {
            std::lock_guard lock(mutex);
            --running;
        }
        changed.notify_one();
    };

    std::vector<std::thread> pool;
    pool.reserve(static_cast<std::size_t>(threads));
    try {
        for (int t = 0; t < threads; ++t) pool.emplace_back(worker);
    } catch (...) {
        stop = true;
        {
            std::lock_guard lock(mutex);
            running -= threads - static_cast<int>(pool.size());
        }
        for (auto& thread : pool) thread.join();
        throw;
    }

    std::size_t reported = 0;
    {
        std::unique_lock lock(mutex);
        for (;;) {
            changed.wait(lock, [&] { return done != reported || running == 0; });
            if (done != reported) {
                reported = done;
                if (progress) {
                    lock.unlock();
                    progress(static_cast<int>(reported), static_cast<int>(count));
                    lock.lock();
                }
                continue;
            }
            break;
        }
    }
    for (auto& thread : pool) thread.join();
    if (failure) std::rethrow_exception(failure);
    return reported == count;
}

int ThreadCount(int requested, std::size_t items) {
    int threads = requested;
    if (threads <= 0) threads = static_cast<int>(std::thread::hardware_concurrency());
    threads = std::max(threads, 1);
    return static_cast<int>(std::min<std::size_t>(static_cast<std::size_t>(threads), items));
}

// The periods to test: the last `periods` of the archive that have 120 draws before them.
struct Span {
    std::size_t first = 0;
    std::size_t count = 0;
    std::size_t firstRead = 0;  // the oldest draw of the first period's history
};

Result<Span> TestedSpan(const std::vector<DatedDraw>& archive, int periods) {
    Span span;
    const auto history = static_cast<std::size_t>(kHistoryRows);
    if (archive.size() <= history) return Fail({kMsgBacktestTooFewDraws, kTitleBacktest});
    span.count = std::min(static_cast<std::size_t>(std::max(periods, 0)), archive.size() - history);
    span.first = archive.size() - span.count;
    // Every draw the span reads, its histories included, must be a draw the tables can hold.
    span.firstRead = span.first - std::min(span.first, history);
    for (std::size_t i = span.firstRead; i < archive.size(); ++i) {
        const DatedDraw& draw = archive[i];
        if (!IsValidPeriod(draw.period) || !IsValidDrawNumbers(draw.numbers)) {
            return Fail({std::string(kMsgBacktestBadDraw) + draw.date + " " + draw.period + " " +
                             draw.numbers,
                         kTitleBacktest});
        }
    }
    return span;
}

// The plan mode's reports of a run, each once and in order, without the notice of
// "保持当前底".
std::vector<Message> RunMessages(const std::vector<Message>& periodMessages) {
    std::vector<Message> messages;
    for (const Message& message : periodMessages) {
        if (message.text == kMsgChooseRecompute) continue;
        if (std::find(messages.begin(), messages.end(), message) == messages.end()) {
            messages.push_back(message);
        }
    }
    return messages;
}

// Tests period span.first + i % span.count under seed seeds[i / span.count] for every item i on
// the pool, handing each row to keep(i, row) on the thread that made it. Ends with the notices
// of the first item; fails with the messages of the first item whose plan mode refused its
// input, without messages when cancelled, and with kMsgBacktestFailed when the engine threw.
template <typename Keep>
Result<std::vector<Message>> RunPeriods(const KeyedArchive& keyed, const Span& span,
                                        const BacktestSettings& settings,
                                        const std::vector<std::uint64_t>& seeds, int threads,
                                        std::atomic<bool>& cancel,
                                        const BacktestProgressFn& progress, const Keep& keep) {
    const std::size_t items = seeds.size() * span.count;
    // Only what a refusal says is kept per item: K runs of N periods need no table of rows.
    std::vector<std::optional<std::vector<Message>>> refusals(items);
    std::vector<Message> firstNotices;
    bool complete = false;
    try {
        complete =
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
    } catch (const std::exception& e) {
        return Fail({std::string(kMsgBacktestFailed) + e.what(), kTitleBacktest});
    }
    for (const auto& refusal : refusals) {
        if (refusal) return Failure{RunMessages(*refusal)};
    }
    if (!complete) return Failure{};
    return RunMessages(firstNotices);
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
        table[r] = {draw.period, draw.numbers};
    }
    return table;
}

Result<PeriodRun> BacktestPeriod(const std::vector<DatedDraw>& archive, std::size_t archiveIndex,
                                 const BacktestSettings& settings, std::mt19937_64& rng) {
    const auto history = static_cast<std::size_t>(kHistoryRows);
    if (archiveIndex < history || archiveIndex >= archive.size()) {
        return Fail({kMsgBacktestTooFewDraws, kTitleBacktest});
    }
    return EvaluatePeriod(KeyArchive(archive, archiveIndex - history), archiveIndex, settings, rng);
}

Result<BacktestResult> RunBacktest(const std::vector<DatedDraw>& archive,
                                   const BacktestSettings& settings, const BacktestOptions& options,
                                   std::atomic<bool>& cancel, const BacktestProgressFn& progress) {
    const Result<Span> span = TestedSpan(archive, options.periods);
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
    return result;
}

Result<SeedsResult> RunBacktestSeeds(const std::vector<DatedDraw>& archive,
                                     const BacktestSettings& settings,
                                     const BacktestOptions& options, int seedCount,
                                     std::atomic<bool>& cancel,
                                     const BacktestProgressFn& progress) {
    const Result<Span> span = TestedSpan(archive, options.periods);
    if (!span) return span.failure();
    SeedsResult result;
    const auto seeds = static_cast<std::size_t>(std::max(seedCount, 0));
    for (std::size_t s = 0; s < seeds; ++s) result.seeds.push_back(options.seed + s);

    const KeyedArchive keyed = KeyArchive(archive, span->firstRead);
    std::vector<long long> profits(seeds * span->count, 0);
    const Result<std::vector<Message>> notices =
        RunPeriods(keyed, *span, settings, result.seeds, options.threads, cancel, progress,
                   [&](std::size_t i, BacktestRow&& row) {
                       profits[i] = PeriodProfit(row.hit, row.planSize);
                   });
    if (!notices) return notices.failure();
    result.notices = *notices;
    for (std::size_t s = 0; s < seeds; ++s) {
        long long total = 0;
        for (std::size_t j = 0; j < span->count; ++j) total += profits[s * span->count + j];
        result.totals.push_back(total);
    }
    result.spread = SpreadOfTotals(result.totals);
    return result;
}

}  // namespace xuan5
