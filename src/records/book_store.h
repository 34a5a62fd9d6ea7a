// The record books on disk: records.db in the data folder, one SQLite database for the three
// regions. Each save is one transaction, so a process killed at any moment leaves every book as
// it was after a whole operation. Nothing here throws: failures come back with a message that
// names the file.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "core/result.h"
#include "records/record_book.h"
#include "sqlite/sqlite_db.h"

namespace xuan5 {

inline constexpr const char* kRecordsFileName = "records.db";

std::filesystem::path RecordsPath(const std::filesystem::path& dataDir);

class BookStore {
  public:
    // Opens the file, creating it and its tables when missing.
    static Result<BookStore> Open(const std::filesystem::path& file);

    // The region's book as last saved; an empty book when none was.
    Result<RecordBook> Load(int region) const;
    // Writes what `changes` says of `book`, all of it or nothing.
    Status Save(const RecordBook& book, const BookChanges& changes);

  private:
    BookStore(std::filesystem::path file, SqliteDb db)
        : file_(std::move(file)), db_(std::move(db)) {}
    Failure Fault(const std::string& what) const;

    std::filesystem::path file_;
    SqliteDb db_;
};

// The start-up check: a damaged records.db is renamed "<file>.damaged-<stamp>" so that a new one
// is started, and its new path returned; nothing when the file is sound or missing. Before the
// first paint only its layout is looked at (`wholeFile` false); the whole file is read once the
// window shows. Failure: it could not be looked at or moved, and stays where it was.
Result<std::optional<std::filesystem::path>> CheckRecordsFile(const std::filesystem::path& file,
                                                              const std::string& stamp,
                                                              bool wholeFile = true);

// Everything a book holds in memory as changes, to write it whole into a new file.
BookChanges EverythingOf(const RecordBook& book);

// What the window tells the user, once.
std::string RecordsMovedAsideText(const std::filesystem::path& movedAside);

}  // namespace xuan5
