// The record book of one region: the draws as judged, the small bases in force with the draw they
// were made after, the plan records and the monitor rows. Whatever brings a table of the region
// (a fetch shown or in the background, the first fetch after a start, a typed draw, the archive),
// the book judges every draw newer than the last one it judged, oldest first and once: a monitor
// row against the bases in force, then the waiting record settled with the draw that follows the
// one it was issued after. Its state changes only through its operations; the store keeps it on
// disk and the window reads it.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "core/draw_history.h"
#include "core/tables.h"
#include "plans/line_intersection.h"
#include "plans/monitor.h"
#include "plans/plan_issue.h"
#include "plans/plan_log.h"
#include "plans/plan_settlement.h"

namespace xuan5 {

// A line's mark in a monitor row when no base was in force: blank, counted nowhere.
inline constexpr std::int8_t kMarkNone = -1;

struct MonitorRow {
    std::int64_t seq = 0;  // rises row by row; the store's key
    std::string date;      // empty when the draw came without one
    std::string period;
    std::array<std::int8_t, kLineCount> marks{};  // 1 hit, 0 miss, kMarkNone
    std::int64_t basesId = 0;                     // the bases it was judged against; 0 for none
    friend bool operator==(const MonitorRow&, const MonitorRow&) = default;
};

// The small bases a plan left in force and the draw they were made after.
struct BasesInForce {
    std::int64_t id = 0;  // 0 until the first plan
    DrawRecord after;
    LineTexts lineBases{};
    std::vector<std::string> instanceBases;  // 0..X, element 0 empty
};

// The plan the region's plan boxes show: the plan base, its count and their backup copies.
struct ShownPlan {
    std::string base;
    std::string count;
    std::string backupBase;
    std::string backupCount;
    friend bool operator==(const ShownPlan&, const ShownPlan&) = default;
};

// Everything a book holds, as the store reads and writes it.
// The records a book holds in memory when it is read: the log box shows the newest ones, the
// file keeps them all.
inline constexpr int kLogKeptInMemory = 1000;
// The monitor rows a book holds in memory, newest last: more than the picture shows, enough for
// every row whose draw a correction may still reach (the feed's table). The store keeps the rest.
inline constexpr std::size_t kMonitorKept = 2 * kHistoryRows;

struct BookState {
    int region = 0;
    DrawTable history{};  // the draws as judged, row 1 the newest; empty before the first table
    BasesInForce bases;
    ShownPlan plan;
    // The plan records from slot `logOffset` of the whole log on: slot i of `log` is slot
    // logOffset + i in the file.
    PlanLog log;
    std::int32_t logOffset = 0;
    // The newest monitor rows since the table was last cleared, oldest first (the book keeps a
    // window of them in memory; the store keeps them all).
    std::vector<MonitorRow> monitor;
    std::int64_t nextMonitorSeq = 1;
    // The bases recent rows were judged against, by id, so that a corrected draw is judged again
    // with them.
    std::map<std::int64_t, LineTexts> recentBases;
};

// What the last operations changed, for the store to write in one transaction.
struct BookChanges {
    bool history = false;
    bool plan = false;  // the shown plan, the bases in force or the log's counter
    bool logCleared = false;
    bool monitorCleared = false;
    std::set<int> records;               // slots written
    std::set<std::int64_t> monitorRows;  // seqs written
    std::set<std::int64_t> newBases;     // base versions added
    std::int64_t oldestKeptBases = 0;    // versions below it are no longer needed
    bool Any() const {
        return history || plan || logCleared || monitorCleared || !records.empty() ||
               !monitorRows.empty() || !newBases.empty();
    }
};

// How a table stood to the book.
struct TableOutcome {
    enum class Kind {
        None,       // nothing newer: the same newest draw, or an older table
        FirstLoad,  // the book's first table, taken as known: nothing judged
        Newer,      // new draws, judged
        Corrected,  // only known draws with other numbers, judged again
    };
    Kind kind = Kind::None;
    std::vector<DrawRecord> judged;     // the new draws, oldest first
    std::vector<DrawRecord> corrected;  // known draws now holding other numbers, newest first
    // The waiting record met its draw (settled) or learnt that it never comes (closed).
    bool settled = false;
    bool closed = false;
    int shownRows = 0;  // rows on top of the table the draw list moves down by; 0 for a rebuild
};

// The draws a book cannot see in a table but the archive holds: those after `after`, oldest
// first.
using ArchiveBridge = std::function<std::vector<DrawRecord>(const DrawRecord& after)>;

class RecordBook {
  public:
    explicit RecordBook(int region);
    explicit RecordBook(BookState state);

    int Region() const { return s_.region; }
    const BookState& State() const { return s_; }
    bool HasDraws() const { return !s_.history[1].period.empty(); }
    const DrawTable& History() const { return s_.history; }
    const DrawSeriesTable& Series() const { return series_; }
    const DrawKeyTable& Keys() const { return keys_; }
    const BasesInForce& Bases() const { return s_.bases; }
    const ShownPlan& Plan() const { return s_.plan; }
    const PlanLog& Log() const { return s_.log; }
    // The newest twenty rows as the monitor picture draws them (-1 for a blank mark).
    MonitorTable MonitorView() const;
    // The newest settled record's hit: 1 hit, 0 miss, -1 none yet.
    int LastOutcome() const;

    // Judges a table of the region (see the top of this file). `bridge` is asked only when the
    // table no longer holds the last judged draw.
    TableOutcome ApplyTable(const DrawTable& table, const ResultWords& words,
                            const ArchiveBridge& bridge = {});

    // A plan made after the newest draw: its bases go in force when given, the plan boxes' texts
    // are kept, and with `basis` a waiting record for the next draw is written in the log's
    // current slot (replacing a waiting one). `logInput` is what WritePendingRecord reads.
    void IssuePlan(const std::optional<LineTexts>& lineBases,
                   const std::optional<std::vector<std::string>>& instanceBases,
                   const ShownPlan& plan, const PlanLogInput& logInput,
                   const std::optional<RecordBasis>& basis);

    void ClearLog();      // "清空计划"
    void ClearMonitor();  // "清空监控记录"

    // What changed since the last call, and forgets it.
    BookChanges TakeChanges();

  private:
    void Derive();
    void SettleWaiting(const std::vector<DrawRecord>& stream, const std::vector<bool>& gapAfter,
                       const ResultWords& words, TableOutcome& out);
    void JudgeDraw(const DrawRecord& draw);
    void Correct(const DrawRecord& draw, const ResultWords& words);
    void PruneBases();

    BookState s_;
    // The current bases as sets, for judging draws.
    LineBaseSets currentSets_{};
    std::int64_t currentSetsId_ = 0;
    DrawSeriesTable series_{};
    DrawKeyTable keys_{};
    BookChanges changes_;
};

// Issues a plan made by MakePlan with `settings` into the book: its bases, its boxes and, after
// its mode's log settings, its waiting record.
void IssueMadePlan(RecordBook& book, const IssuedPlan& plan, const PlanSettings& settings);

// The period that follows a draw, as the dated stream can tell: the same day's next number, or
// the first of the next day after that day's last. `dayLast` is the highest period number a day
// of the region has been seen to reach.
bool DirectlyFollows(const DrawRecord& before, const DrawRecord& after, int dayLast);

// The highest period number among a table's draws.
int HighestPeriod(const DrawTable& table);

// A typed draw's date: the date of the draw it follows, the next day's for "001".
std::string TypedDrawDate(const DrawRecord& newest, const std::string& typedPeriod);

// The question a typed period that is not the next one asks before it is taken, or empty when it
// is the next one ("录入的期号跳过了026～028期，确定吗？").
std::string TypedPeriodQuestion(const DrawTable& history, const std::string& typedPeriod);

}  // namespace xuan5
