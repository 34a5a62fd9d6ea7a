// The draw archive: past draws of every region in the SQLite file archive.db of the data
// folder, one row per region, date and period. It outlives the 120 draws of the feed, so a
// back-test can reach further back and the tool can start from it without the service.
#pragma once

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/draw_history.h"
#include "feed/draw_csv.h"

struct sqlite3;

namespace xuan5::ui {

inline constexpr const char* kArchiveFileName = "archive.db";

// archive.db of a data folder.
std::filesystem::path DrawArchivePath(const std::filesystem::path& dataDir);

// The file cannot be opened, read or written, or a row to add is no valid dated draw. what()
// is a sentence for the user.
class DrawArchiveError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

class DrawArchive {
  public:
    // Opens the file, creating it and its table when missing. Throws DrawArchiveError.
    explicit DrawArchive(const std::filesystem::path& file);
    ~DrawArchive();
    DrawArchive(const DrawArchive&) = delete;
    DrawArchive& operator=(const DrawArchive&) = delete;

    // Stores draws of a region (1..3) in one transaction: all of them or, on any error, none.
    // A draw already stored for the same date and period stays one row and takes the numbers
    // given last, so a corrected import repairs it. Returns the rows added or changed. A
    // region outside 1..3, or a draw that is no valid date, three-digit period and five
    // distinct numbers 01..11, throws before anything is written.
    int AddDraws(int region, const std::vector<DatedDraw>& draws);

    int CountDraws(int region) const;

    // The newest `count` draws of a region, ordered by date then period, oldest first.
    std::vector<DatedDraw> NewestDraws(int region, int count) const;

    // Every draw of a region, oldest first.
    std::vector<DatedDraw> AllDraws(int region) const;

    // The newest 120 draws as the feed would stage them (IncomingDraws: row 1 newest), for
    // "载入本地数据"; nullopt while fewer than 120 are stored.
    std::optional<DrawTable> StagedTable(int region) const;

    // Every draw of a region in the import layout, oldest first (header line, CR LF ends).
    std::string ExportCsv(int region) const;

  private:
    [[noreturn]] void Fail(const std::string& what) const;
    std::vector<DatedDraw> Select(int region, int limit, bool newestFirst) const;

    std::filesystem::path file_;
    sqlite3* db_ = nullptr;
};

}  // namespace xuan5::ui
