// What the batch runs over an archive share (the back-test, its seeds, the optimiser): the
// periods they test, the archive's draw keys, the notices they report and the pool that runs
// their periods on all cores.
#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <string_view>
#include <vector>

#include "core/dated_draw.h"
#include "core/result.h"
#include "core/tables.h"

namespace xuan5 {

inline constexpr const char* kMsgBacktestTooFewDraws = "本地开奖数据不足121期，无法回测";
// Where more draws come from, after every message of too few.
inline constexpr const char* kMsgDownloadHistoryFirst = "请先“下载历史”。";
inline constexpr const char* kMsgBacktestBadDraw = "本地开奖数据有误：";  // + date and period
inline constexpr const char* kMsgBacktestFailed = "回测出错：";           // + what went wrong

// kMsgBacktestTooFewDraws, then kMsgDownloadHistoryFirst.
Failure TooFewDraws();

// kMsgBacktestFailed followed by what went wrong: a run the system failed (memory, threads).
Failure RunFailed(std::string_view what);

// Called on the thread that runs the batch with the number of items done so far.
using BacktestProgressFn = std::function<void(int done, int total)>;

// The periods a run tests: the last `count` of the archive, each with 120 draws before it.
struct TestedSpan {
    std::size_t first = 0;
    std::size_t count = 0;
    std::size_t firstRead = 0;  // the oldest draw of the first period's history
};

// The last `periods` periods of the archive that have 120 draws before them. Fails with
// TooFewDraws when not one has, and with kMsgBacktestBadDraw for a draw the span
// reads (its histories included) that is no valid draw.
Result<TestedSpan> TestedPeriods(const std::vector<DatedDraw>& archive, int periods);

// The draw key of every draw of the archive from `from` on; 0 before it.
std::vector<int> ArchiveKeys(const std::vector<DatedDraw>& archive, std::size_t from);

// The key table the plan panel holds before the period at `index` (at least 120): element
// 121 - r is the key of the r-th draw before it.
DrawKeyTable KeysBefore(const std::vector<int>& keys, std::size_t index);

// What the plan mode reported over a run, each once and in order, without the notice of
// "保持当前底": keeping the bases is what the user asked for.
std::vector<Message> RunNotices(const std::vector<Message>& reported);

// The threads to use for `items` items: `requested`, or one per core when 0, never more than
// there are items.
int ThreadCount(int requested, std::size_t items);

// Runs work(i) once for every i below count on `threads` threads (one: the calling thread), and
// reports progress on the calling thread. Stops handing out indices when `cancel` is set or work
// returns false. Succeeds when every index ran; a run that was stopped (cancel, or work saying
// false before the end) fails without messages, as a cancelled one. An exception thrown by work
// ends the run too and never leaves it: it fails with RunFailed and what the exception said.
Status ParallelFor(std::size_t count, int threads, std::atomic<bool>& cancel,
                   const BacktestProgressFn& progress,
                   const std::function<bool(std::size_t)>& work);

}  // namespace xuan5
