// The service's SQLite database: users, their settings records and the stored draws.
#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "draws.h"
#include "sqlite/sqlite_db.h"

namespace xuan5::service {

class DatabaseError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The service's storage: users (token digests only), one settings record per user and the draw
// history of every region. One connection guarded by a mutex; every statement is prepared once
// with bound values. WAL with full sync, so an acknowledged write survives a killed process and
// a power cut, and other processes (add-user, import) can write while the server reads.
class Database {
  public:
    // Creates the file and its tables when missing. Throws DatabaseError.
    explicit Database(const std::string& path);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // False when the name is taken.
    bool AddUser(std::string_view name, std::string_view token_digest);
    std::optional<std::int64_t> FindUser(std::string_view token_digest);
    // Every user as (token digest, id).
    std::vector<std::pair<std::string, std::int64_t>> Users();

    void SaveSettings(std::int64_t user_id, std::string_view record);
    std::optional<std::string> LoadSettings(std::int64_t user_id);

    enum class OnConflict { kKeep, kReplace };
    // All of them or none; returns how many rows were written.
    int StoreDraws(int region, const std::vector<Draw>& draws, OnConflict on_conflict);
    // Ordered by date then period, newest first.
    std::vector<Draw> RecentDraws(int region, int limit);

    // Changes whenever another connection commits, so caches can notice imports.
    std::int64_t DataVersion();
    std::string IntegrityCheck();

  private:
    void Execute(const char* sql);
    SqliteStatement Prepare(const char* sql);
    [[noreturn]] void Fail(const char* what);

    std::mutex mutex_;
    SqliteDb db_;
    // Prepared once; each use leaves them reset for the next.
    SqliteStatement add_user_;
    SqliteStatement find_user_;
    SqliteStatement save_settings_;
    SqliteStatement load_settings_;
    SqliteStatement keep_draw_;
    SqliteStatement replace_draw_;
    SqliteStatement recent_draws_;
    SqliteStatement data_version_;
};

}  // namespace xuan5::service
