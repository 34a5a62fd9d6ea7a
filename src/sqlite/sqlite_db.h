// The one SQLite wrapper of the engine: a connection, a prepared statement and a transaction,
// each closed or undone by its destructor, and the check that tells a damaged database file from
// a sound one and moves a damaged one aside. Nothing here throws.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/result.h"

struct sqlite3;
struct sqlite3_stmt;

namespace xuan5 {

// How long a writer waits for another copy of the program holding the file.
inline constexpr int kSqliteBusyTimeoutMs = 5000;

class SqliteDb {
  public:
    enum class Mode { ReadOnly, ReadWrite, Create };

    SqliteDb() = default;
    // Opens `file`; a failure says in SQLite's words what went wrong.
    static Result<SqliteDb> Open(const std::filesystem::path& file, Mode mode);
    // Opens or creates `file` and makes the tables `schema` creates when they are missing.
    static Result<SqliteDb> OpenWithSchema(const std::filesystem::path& file, const char* schema);
    ~SqliteDb();
    SqliteDb(SqliteDb&& other) noexcept;
    SqliteDb& operator=(SqliteDb&& other) noexcept;
    SqliteDb(const SqliteDb&) = delete;
    SqliteDb& operator=(const SqliteDb&) = delete;

    explicit operator bool() const { return db_ != nullptr; }
    sqlite3* get() const { return db_; }
    // SQLite's own words for the last failure on this connection.
    std::string Error() const;
    // Runs statements without results; fails on the first failure.
    Status Exec(const char* sql) const;
    int Changes() const;

  private:
    explicit SqliteDb(sqlite3* db) : db_(db) {}
    sqlite3* db_ = nullptr;
};

class SqliteStatement {
  public:
    SqliteStatement() = default;
    // `cached`: prepared once and run many times, as a long-lived connection's statements are.
    SqliteStatement(const SqliteDb& db, const char* sql, bool cached = false);
    ~SqliteStatement();
    SqliteStatement(SqliteStatement&& other) noexcept;
    SqliteStatement& operator=(SqliteStatement&& other) noexcept;
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    explicit operator bool() const { return stmt_ != nullptr; }
    // Indices count from 1, as SQLite's do.
    void Bind(int index, std::string_view text) const;
    void Bind(int index, std::int64_t value) const;
    void BindBlob(int index, const void* bytes, std::size_t size) const;
    void BindNull(int index) const;
    // True while a row is ready; Done() tells a finished run from a failed one.
    bool Step();
    bool Done() const { return last_ == kDone; }
    // SQLite's primary result code of the last step (SQLITE_CONSTRAINT, ...).
    int Code() const { return last_ & 0xFF; }
    // Ready for another run with new bindings.
    void Reset();
    // Runs a statement that returns no rows; Code() tells what a failure was.
    Status Run();

    std::string Text(int column) const;
    // Valid until the next step.
    std::string_view View(int column) const;
    std::int64_t Int(int column) const;
    bool IsNull(int column) const;
    std::string Blob(int column) const;

  private:
    static constexpr int kDone = 101;
    sqlite3_stmt* stmt_ = nullptr;
    int last_ = 0;
};

// BEGIN IMMEDIATE on construction; rolled back by the destructor unless committed.
class SqliteTransaction {
  public:
    explicit SqliteTransaction(const SqliteDb& db);
    ~SqliteTransaction();
    SqliteTransaction(const SqliteTransaction&) = delete;
    SqliteTransaction& operator=(const SqliteTransaction&) = delete;

    bool Begun() const { return begun_; }
    Status Commit();

  private:
    const SqliteDb& db_;
    bool begun_ = false;
    bool done_ = false;
};

// What a file on disk is to the program that keeps its data in it.
struct SqliteFileCheck {
    enum class State {
        Missing,     // no file, or an empty one: a new database starts there
        Sound,       // whole, and every expected table reads as the program reads it
        Damaged,     // no database, damaged pages, or a table of another layout
        Unreadable,  // could not be looked at (permissions, a folder in its place)
    };
    State state = State::Missing;
    std::string why;  // SQLite's words when they say anything
};

// Prepares each of `probes` (a SELECT of the columns the program uses, "... LIMIT 0") against every
// table that exists and, when `wholeFile`, first reads the whole file as SQLite does (its quick
// check, which takes time in proportion to the file). A journal left by a process killed while
// writing is rolled back, as by any open.
SqliteFileCheck CheckSqliteFile(const std::filesystem::path& file,
                                const std::vector<std::string>& probes, bool wholeFile = true);

// Renames a damaged file "<file>.damaged-<stamp>" (with "-2", "-3" ... when taken) together with
// a journal or log still beside it, so the next open starts anew and nothing is played into it.
// The new name, or why the file could not be moved.
Result<std::filesystem::path> MoveDamagedAside(const std::filesystem::path& file,
                                               const std::string& stamp);

// Checks `file` as CheckSqliteFile does and moves it aside when damaged: where it lies now, or
// nothing when it is missing or sound. Fails with the bare reason when it cannot be read or moved.
Result<std::optional<std::filesystem::path>> SetAsideIfDamaged(
    const std::filesystem::path& file, const std::vector<std::string>& probes,
    const std::string& stamp, bool wholeFile = true);

}  // namespace xuan5
