#include "backtest/batch.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <string>
#include <thread>

#include "core/draw_history.h"

namespace xuan5 {

namespace {

// The failure of a run whose work threw: what the exception said, when it said anything.
Failure FailureOf(const std::exception_ptr& thrown) {
    try {
        std::rethrow_exception(thrown);
    } catch (const std::exception& e) {
        return RunFailed(e.what());
    } catch (...) {
        return RunFailed("");
    }
}

}  // namespace

Failure RunFailed(std::string_view what) {
    return Fail({std::string(kMsgBacktestFailed) + std::string(what), kTitleErrorNotice,
                 Message::Kind::Io});
}

Failure TooFewDraws() {
    return Fail({std::string(kMsgBacktestTooFewDraws) + "。" + kMsgDownloadHistoryFirst,
                 kTitleErrorNotice, Message::Kind::NotFound});
}

Result<TestedSpan> TestedPeriods(const std::vector<DatedDraw>& archive, int periods) {
    TestedSpan span;
    const auto history = static_cast<std::size_t>(kHistoryRows);
    if (archive.size() <= history) return TooFewDraws();
    span.count = std::min(static_cast<std::size_t>(std::max(periods, 0)), archive.size() - history);
    span.first = archive.size() - span.count;
    // Every draw the span reads, its histories included, must be a draw the tables can hold.
    span.firstRead = span.first - std::min(span.first, history);
    for (std::size_t i = span.firstRead; i < archive.size(); ++i) {
        const DatedDraw& draw = archive[i];
        if (!IsValidPeriod(draw.period) || !IsValidDrawNumbers(draw.numbers)) {
            return Fail({std::string(kMsgBacktestBadDraw) + draw.date + " " + draw.period + " " +
                             draw.numbers,
                         kTitleErrorNotice, Message::Kind::Damaged});
        }
    }
    return span;
}

std::vector<int> ArchiveKeys(const std::vector<DatedDraw>& archive, std::size_t from) {
    std::vector<int> keys(archive.size(), 0);
    for (std::size_t i = from; i < archive.size(); ++i) keys[i] = DrawKeyOf(archive[i].numbers);
    return keys;
}

DrawKeyTable KeysBefore(const std::vector<int>& keys, std::size_t index) {
    DrawKeyTable table{};
    for (int r = 1; r <= kHistoryRows; ++r) {
        table[kHistoryRows + 1 - r] = keys[index - static_cast<std::size_t>(r)];
    }
    return table;
}

std::vector<Message> RunNotices(const std::vector<Message>& reported) {
    std::vector<Message> messages;
    for (const Message& message : reported) {
        // The one notice a plan mode gives is that of "保持当前底"; the rest are damaged lines.
        if (message.kind == Message::Kind::Notice) continue;
        if (std::find(messages.begin(), messages.end(), message) == messages.end()) {
            messages.push_back(message);
        }
    }
    return messages;
}

int ThreadCount(int requested, std::size_t items) {
    int threads = requested;
    if (threads <= 0) threads = static_cast<int>(std::thread::hardware_concurrency());
    threads = std::max(threads, 1);
    return static_cast<int>(std::min<std::size_t>(static_cast<std::size_t>(threads), items));
}

Status ParallelFor(std::size_t count, int threads, std::atomic<bool>& cancel,
                   const BacktestProgressFn& progress,
                   const std::function<bool(std::size_t)>& work) {
    if (count == 0) return Ok();
    if (threads <= 1) {
        // The calling thread does the work itself: a thread of its own would wake it after every
        // item, and the search over fair archives runs a hundred thousand of them so.
        try {
            for (std::size_t i = 0; i < count; ++i) {
                if (cancel.load()) return Failure{};
                const bool goOn = work(i);
                if (progress) progress(static_cast<int>(i + 1), static_cast<int>(count));
                if (!goOn) return i + 1 == count ? Ok() : Failure{};
            }
        } catch (...) {
            return FailureOf(std::current_exception());
        }
        return Ok();
    }
    std::atomic<std::size_t> next{0};
    std::atomic<bool> stop{false};
    std::mutex mutex;
    std::condition_variable changed;
    std::size_t done = 0;
    int running = threads;
    std::exception_ptr failure;

    // The caller is woken about a hundred times a run rather than after every item: a wake-up
    // costs about as much as a short item.
    const std::size_t step = std::max<std::size_t>(count / 100, 1);
    const auto worker = [&] {
        try {
            while (!cancel.load() && !stop.load()) {
                const std::size_t i = next.fetch_add(1);
                if (i >= count) break;
                const bool goOn = work(i);
                if (!goOn) stop = true;
                bool wake = false;
                {
                    std::lock_guard lock(mutex);
                    ++done;
                    wake = done % step == 0 || done == count;
                }
                if (wake) changed.notify_one();
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
        // No thread to be had: the ones started stop, and the run says why.
        stop = true;
        {
            std::lock_guard lock(mutex);
            running -= threads - static_cast<int>(pool.size());
            if (!failure) failure = std::current_exception();
        }
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
    if (failure) return FailureOf(failure);
    return reported == count ? Ok() : Failure{};
}

}  // namespace xuan5
