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
#include "core/text.h"
#include "plans/plan_log.h"

namespace xuan5 {
namespace {

std::uint64_t SplitMix64(std::uint64_t z) {
    z += 0x9E3779B97F4A7C15ull;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

// What every period starts from: the state of a window that has loaded draws, with the saved
// lines and the small bases in force. Only the draw tables differ between periods.
AppState BaseState(const BacktestSettings& settings) {
    AppState state;
    state.AllBets = BuildAllBets();
    state.UpdateCount = 2;
    state.HistoryLoaded = 1;
    state.CurveStoreLines = settings.savedLines;
    state.LineBases = settings.LineBases;
    return state;
}

// The key of a draw: its numbers sorted ascending, as a bet number; 0 for no valid draw.
int KeyOfDraw(const std::string& numbers) {
    if (!IsValidDrawNumbers(numbers)) return 0;
    unsigned mask = 0;
    for (int k = 0; k < 5; ++k) {
        mask |= 1u << ((numbers[k * 3] - '0') * 10 + (numbers[k * 3 + 1] - '0') - 1);
    }
    return BetFromMask(mask);
}

// The draws of the archive with their keys, worked out once per run rather than once for each
// of the 120 histories that hold a draw.
struct KeyedArchive {
    const std::vector<DatedDraw>& draws;
    std::vector<int> keys;  // 0 before the first draw a run reads
};

KeyedArchive KeyArchive(const std::vector<DatedDraw>& archive, std::size_t from) {
    KeyedArchive keyed{archive, std::vector<int>(archive.size(), 0)};
    for (std::size_t i = from; i < archive.size(); ++i) {
        keyed.keys[i] = KeyOfDraw(archive[i].numbers);
    }
    return keyed;
}

// The draw tables as the update step leaves them with the archive's draw `newest` on row 1:
// the key series holds the sorted numbers, oldest first, which for valid draws is what
// BuildDrawSeries gives.
void LoadHistory(AppState& state, const KeyedArchive& archive, std::size_t newest) {
    for (int r = 1; r <= kHistoryRows; ++r) {
        const std::size_t i = newest + 1 - static_cast<std::size_t>(r);
        state.DrawHistory[r] = {archive.draws[i].period, archive.draws[i].numbers};
        const int key = archive.keys[i];
        state.DrawKeys[kHistoryRows + 1 - r] = key;
        state.DrawSeries[kHistoryRows + 1 - r] = state.AllBets[key];
    }
}

BacktestRow EvaluatePeriod(const AppState& base, const KeyedArchive& archive, std::size_t index,
                           const BacktestSettings& settings, std::mt19937_64& rng,
                           PlanRunStatus& status, std::vector<Message>& messages) {
    AppState state = base;
    LoadHistory(state, archive, index - 1);
    const bool modeTwo = settings.Check_jh_dadi_fenzu;
    PlanRunOutput run = modeTwo ? RunPlanModeTwo(settings.modeTwo, settings.savedLines, state, rng)
                                : RunPlanModeOne(settings.modeOne, settings.savedLines, state, rng);
    status = run.status;
    messages = std::move(run.messages);
    if (run.status != PlanRunStatus::Done) return {};
    std::string plan = std::move(*run.T_jihua_jj_dadi);
    std::string size = std::move(*run.T_jihua_jj_dadi_zhushu);

    JoinBackupInput join = settings.backup;
    join.T_jihua_jj_dadi = plan;
    const PlanLogInput& log = modeTwo ? settings.modeTwo.log : settings.modeOne.log;
    JoinBackupOutput joined = JoinBackupIntoPlan(join, log, state);
    if (joined.plan) {
        plan = std::move(joined.plan->text);
        size = std::move(joined.plan->count);
    }

    const DatedDraw& drawn = archive.draws[index];
    BacktestRow row;
    row.archiveIndex = index;
    row.period = drawn.period;
    row.date = drawn.date;
    row.numbers = drawn.numbers;
    row.planSize = ParseInteger32(size).value_or(0);

    // The period's draw arrives: the history moves down a row as the update step leaves it,
    // and the pending record is completed as the after-draw pipeline completes it.
    LoadHistory(state, archive, index);
    const std::string& key = state.AllBets[archive.keys[index]];
    // The substring rule, with a searcher that skips ahead instead of stopping at every "0". A
    // draw without a key is held by no base.
    const std::boyer_moore_horspool_searcher holdsKey(key.begin(), key.end());
    const auto holds = [&](const std::string& base) {
        return !key.empty() && std::search(base.begin(), base.end(), holdsKey) != base.end();
    };
    row.hit = holds(plan);
    int checked = 0;
    for (int k = 0; k < kLineCount; ++k) {
        row.lineHits[k] = holds(state.LineBases[k]);
        if (settings.modeOne.selection.Ch_jiankong_jj[k]) ++checked;
    }

    ResultRecordInput result;
    result.T_jihua_jj_dadi = std::move(plan);
    result.T_jihua_jj_dadi_zhushu = std::move(size);
    result.T_zdy_yongyu = settings.T_zdy_yongyu;
    result.Check_jh_dadi_fenzu = modeTwo;
    result.T_jh_dadi_chongfu_cs = settings.modeOne.T_jh_dadi_chongfu_cs;
    result.Ch_jiankong_jj = settings.modeOne.selection.Ch_jiankong_jj;
    result.T_jiankong_15di_geshu = std::to_string(checked);
    state.PlanRecordCount = 0;
    row.tally = WriteResultRecord(result, state).T_jh_rc;
    row.record = state.PlanRecords[0];
    return row;
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
    BacktestStatus status = BacktestStatus::Done;
    std::vector<Message> messages;
    std::size_t first = 0;
    std::size_t count = 0;
    std::size_t firstRead = 0;  // the oldest draw of the first period's history
};

Span TestedSpan(const std::vector<DatedDraw>& archive, int periods) {
    Span span;
    const auto history = static_cast<std::size_t>(kHistoryRows);
    if (archive.size() <= history) {
        span.status = BacktestStatus::TooFewDraws;
        span.messages.push_back({kMsgBacktestTooFewDraws, kTitleBacktest});
        return span;
    }
    span.count = std::min(static_cast<std::size_t>(std::max(periods, 0)), archive.size() - history);
    span.first = archive.size() - span.count;
    // Every draw the span reads, its histories included, must be a draw the tables can hold.
    span.firstRead = span.first - std::min(span.first, history);
    for (std::size_t i = span.firstRead; i < archive.size(); ++i) {
        const DatedDraw& draw = archive[i];
        if (!IsValidPeriod(draw.period) || !IsValidDrawNumbers(draw.numbers)) {
            span.status = BacktestStatus::BadDraw;
            span.messages.push_back({std::string(kMsgBacktestBadDraw) + draw.date + " " +
                                         draw.period + " " + draw.numbers,
                                     kTitleBacktest});
            return span;
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

// How a run over all its periods ended: the first period whose plan mode refused its input, a
// cancel, or done with what the first period reported.
struct RunEnd {
    BacktestStatus status = BacktestStatus::Done;
    std::vector<Message> messages;
};

RunEnd EndOfRun(const std::vector<PlanRunStatus>& statuses,
                const std::vector<std::vector<Message>>& messages, bool complete) {
    for (std::size_t i = 0; i < statuses.size(); ++i) {
        if (statuses[i] != PlanRunStatus::Done) {
            return {BacktestStatus::InputError, RunMessages(messages[i])};
        }
    }
    if (!complete) return {BacktestStatus::Cancelled, {}};
    return {BacktestStatus::Done,
            messages.empty() ? std::vector<Message>{} : RunMessages(messages.front())};
}

}  // namespace

std::uint64_t PeriodSeed(std::uint64_t seed, const DatedDraw& draw) {
    // FNV-1a over "date|period": fixed by the standard of the bytes, not by std::hash.
    std::uint64_t identity = 0xCBF29CE484222325ull;
    for (const std::string* part : {&draw.date, &draw.period}) {
        for (unsigned char c : *part) identity = (identity ^ c) * 0x100000001B3ull;
        identity = (identity ^ '|') * 0x100000001B3ull;
    }
    return SplitMix64(SplitMix64(seed) ^ identity);
}

DrawTable HistoryBefore(const std::vector<DatedDraw>& archive, std::size_t archiveIndex) {
    DrawTable table{};
    for (int r = 1; r <= kHistoryRows && static_cast<std::size_t>(r) <= archiveIndex; ++r) {
        const DatedDraw& draw = archive[archiveIndex - static_cast<std::size_t>(r)];
        table[r] = {draw.period, draw.numbers};
    }
    return table;
}

BacktestRow BacktestPeriod(const std::vector<DatedDraw>& archive, std::size_t archiveIndex,
                           const BacktestSettings& settings, std::mt19937_64& rng,
                           PlanRunStatus& status, std::vector<Message>& messages) {
    const auto history = static_cast<std::size_t>(kHistoryRows);
    if (archiveIndex < history || archiveIndex >= archive.size()) {
        throw std::out_of_range("no period with 120 draws before it at this index");
    }
    return EvaluatePeriod(BaseState(settings), KeyArchive(archive, archiveIndex - history),
                          archiveIndex, settings, rng, status, messages);
}

BacktestResult RunBacktest(const std::vector<DatedDraw>& archive, const BacktestSettings& settings,
                           const BacktestOptions& options, std::atomic<bool>& cancel,
                           const BacktestProgressFn& progress) {
    BacktestResult result;
    result.omissions = NumberOmissions(archive);
    Span span = TestedSpan(archive, options.periods);
    if (span.status != BacktestStatus::Done) {
        result.status = span.status;
        result.messages = std::move(span.messages);
        return result;
    }

    const AppState base = BaseState(settings);
    const KeyedArchive keyed = KeyArchive(archive, span.firstRead);
    std::vector<BacktestRow> rows(span.count);
    std::vector<std::vector<Message>> messages(span.count);
    std::vector<PlanRunStatus> statuses(span.count, PlanRunStatus::Done);
    const bool complete = ParallelFor(
        span.count, ThreadCount(options.threads, span.count), cancel, progress, [&](std::size_t j) {
            const std::size_t index = span.first + j;
            std::mt19937_64 rng(PeriodSeed(options.seed, archive[index]));
            rows[j] = EvaluatePeriod(base, keyed, index, settings, rng, statuses[j], messages[j]);
            return statuses[j] == PlanRunStatus::Done;
        });
    RunEnd end = EndOfRun(statuses, messages, complete);
    result.status = end.status;
    result.messages = std::move(end.messages);
    if (result.status != BacktestStatus::Done) return result;
    FillRunningTotals(rows);
    result.summary = SummarizeBacktest(rows);
    result.lines = LineRecords(rows);
    result.rows = std::move(rows);
    return result;
}

SeedsResult RunBacktestSeeds(const std::vector<DatedDraw>& archive,
                             const BacktestSettings& settings, const BacktestOptions& options,
                             int seedCount, std::atomic<bool>& cancel,
                             const BacktestProgressFn& progress) {
    SeedsResult result;
    Span span = TestedSpan(archive, options.periods);
    if (span.status != BacktestStatus::Done) {
        result.status = span.status;
        result.messages = std::move(span.messages);
        return result;
    }
    const auto seeds = static_cast<std::size_t>(std::max(seedCount, 0));
    for (std::size_t s = 0; s < seeds; ++s) result.seeds.push_back(options.seed + s);

    const AppState base = BaseState(settings);
    const KeyedArchive keyed = KeyArchive(archive, span.firstRead);
    const std::size_t items = seeds * span.count;
    // Only each period's profit is kept: K runs of N periods need no table of rows.
    std::vector<long long> profits(items, 0);
    std::vector<PlanRunStatus> statuses(items, PlanRunStatus::Done);
    std::vector<std::vector<Message>> messages(items);
    const bool complete = ParallelFor(
        items, ThreadCount(options.threads, items), cancel, progress, [&](std::size_t i) {
            const std::size_t index = span.first + i % span.count;
            std::mt19937_64 rng(PeriodSeed(result.seeds[i / span.count], archive[index]));
            const BacktestRow row =
                EvaluatePeriod(base, keyed, index, settings, rng, statuses[i], messages[i]);
            profits[i] = PeriodProfit(row.hit, row.planSize);
            return statuses[i] == PlanRunStatus::Done;
        });
    RunEnd end = EndOfRun(statuses, messages, complete);
    result.status = end.status;
    result.messages = std::move(end.messages);
    if (result.status != BacktestStatus::Done) return result;
    for (std::size_t s = 0; s < seeds; ++s) {
        long long total = 0;
        for (std::size_t j = 0; j < span.count; ++j) total += profits[s * span.count + j];
        result.totals.push_back(total);
    }
    result.spread = SpreadOfTotals(result.totals);
    return result;
}

}  // namespace xuan5
