// The draw archive: past draws of every region in the SQLite file archive.db of the data folder,
// one row per region, date and period. It outlives the 120 draws of the feed, so a back-test can
// reach further back and the tool can start from it without the service. Nothing here throws: a
// file that cannot be opened, read or written answers with a failure whose message names it.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/dated_draw.h"
#include "core/draw_history.h"
#include "core/result.h"
#include "sqlite/sqlite_db.h"

namespace xuan5 {

inline constexpr const char* kArchiveFileName = "archive.db";

// archive.db of a data folder.
std::filesystem::path DrawArchivePath(const std::filesystem::path& dataDir);

class DrawArchive {
  public:
    // Opens the file, creating it and its table when missing.
    static Result<DrawArchive> Open(const std::filesystem::path& file);

    // Stores draws of a region (1..3) in one transaction: all of them or, on any error, none.
    // A draw already stored for the same date and period stays one row and takes the numbers
    // given last, so a corrected import repairs it. Returns the rows added or changed. A region
    // outside 1..3, or a draw that is no valid date, three-digit period and five distinct
    // numbers 01..11, fails before anything is written.
    Result<int> AddDraws(int region, const std::vector<DatedDraw>& draws);

    Result<int> CountDraws(int region) const;

    // The newest `count` draws of a region, ordered by date then period, oldest first.
    Result<std::vector<DatedDraw>> NewestDraws(int region, int count) const;

    // Every draw of a region, oldest first.
    Result<std::vector<DatedDraw>> AllDraws(int region) const;

    // The draws of a region after the one of `date` and `period`, oldest first, at most `limit`:
    // what the archive knows of a span the feed no longer reaches.
    Result<std::vector<DatedDraw>> DrawsAfter(int region, const std::string& date,
                                              const std::string& period, int limit) const;

    // The newest 120 draws as the feed would stage them (row 1 newest), for "载入本地数据";
    // unset while fewer than 120 are stored.
    Result<std::optional<DrawTable>> StagedTable(int region) const;

    // Every draw of a region in the import layout, oldest first (header line, CR LF ends),
    // after a note of the region `regionName` and the span the file holds.
    Result<std::string> ExportCsv(int region, std::string_view regionName = {}) const;

  private:
    DrawArchive(std::filesystem::path file, SqliteDb db)
        : file_(std::move(file)), db_(std::move(db)) {}
    Failure Fault(const std::string& what) const;
    Result<std::vector<DatedDraw>> Select(int region, int limit, bool newestFirst) const;

    std::filesystem::path file_;
    SqliteDb db_;
};

}  // namespace xuan5
