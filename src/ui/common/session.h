// The tables of one running window. The session owns them all; the comment beside each names the
// code that writes it, and everything else only reads it. What belongs to a region (its draws as
// judged, the small bases in force, the plan records and the monitor rows) lives in that region's
// record book, kept on disk; the session holds the three books and the staged table of each.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/bets.h"
#include "core/draw_history.h"
#include "core/result.h"
#include "core/tables.h"
#include "curves/trend_line.h"
#include "plans/plan_modes.h"
#include "protocol/endpoints.h"
#include "records/book_store.h"
#include "records/record_book.h"

namespace xuan5::ui {

class Session {
  public:
    AllBetsTable AllBets{};              // Fmain::BuildBets
    std::int32_t RegionCode = 1;         // FeedController::SelectRegion
    std::int32_t CountdownSeconds = 30;  // FeedController::CountdownTick
    LineTexts CurveStoreLines{};       // reads and saves of the curve store (drawing, plan panels)
    ProfitSeriesTable ProfitSeries{};  // DrawPanel: its search and "K"
    TrendDrawing Trend;                // DrawPanel: the mouse and loading a line, nothing else

    // The books are read from `file` (records.db of the data folder) as they are first used; a
    // session without a file keeps its books in memory only. Failure: the file cannot be opened;
    // the books are then kept in memory.
    Status OpenBooks(const std::filesystem::path& file);

    // Reads every book, then the whole file; a damaged file is set aside for a new one that takes
    // what the books hold. The new path of the damaged file, when it was set aside; failure: it
    // could not be read or replaced.
    Result<std::optional<std::filesystem::path>> RecheckBooks(const std::filesystem::path& file,
                                                              const std::string& stamp);

    // A region's book, 1..3: written by the feed (tables), the plan panel (plans, "清空计划") and
    // the monitor panel ("清空监控记录"); read by everything else.
    RecordBook& Book(int region);
    RecordBook& Shown() { return Book(RegionCode); }
    const RecordBook& Shown() const;
    // Whether a region's book has been read from disk yet.

    // What the shown region's book holds, for the panels that read it.
    const DrawTable& DrawHistory() const { return Shown().History(); }
    const DrawKeyTable& DrawKeys() const { return Shown().Keys(); }
    const DrawSeriesTable& DrawSeries() const { return Shown().Series(); }
    const LineTexts& LineBases() const { return Shown().Bases().lineBases; }
    const std::vector<std::string>& InstanceBases() const { return Shown().Bases().instanceBases; }
    const PlanLog& Log() const { return Shown().Log(); }
    MonitorTable MonitorRecords() const { return Shown().MonitorView(); }
    bool HasDraws() const { return Shown().HasDraws(); }

    // The staged table of a region: a fetch's answer, a typed draw, the archive's table.
    DrawTable& IncomingDraws(int region);
    // Tables applied to a region's book since start (the feed's count).
    std::int32_t& UpdateCount(int region);
    std::int32_t UpdateCount() const { return updates_[Index(RegionCode)]; }

    // What a plan run reads of the shown region.
    PlanTables PlanInputs() const {
        const RecordBook& book = Shown();
        return {book.History(), book.Keys(), book.Bases().lineBases, Trend.TrendLine, book.Log()};
    }

    // Writes what changed in a region's book since its last save, in one transaction. What a
    // failed save did not write is kept and written with the next one.
    Status Save(int region);

    // Why a book could not be read, once: it is kept in memory for this run and never written
    // over what the file holds.
    std::vector<Message> TakeLoadFailures();

  private:
    static std::size_t Index(int region);
    RecordBook& Load(int region) const;

    std::optional<BookStore> store_;
    // Read on first use, from const readers too.
    mutable std::array<std::optional<RecordBook>, kRegionCount + 1> books_{};
    mutable std::array<bool, kRegionCount + 1> unreadable_{};
    mutable std::vector<Message> loadFailures_;
    std::array<BookChanges, kRegionCount + 1> unsaved_{};
    std::array<DrawTable, kRegionCount + 1> incoming_{};
    std::array<std::int32_t, kRegionCount + 1> updates_{};
};

}  // namespace xuan5::ui
