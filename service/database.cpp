#include "database.h"

#include <sqlite3.h>

#include <cstdio>

namespace xuan5::service {

// Leaves a cached statement ready for its next use however the caller leaves the scope.
struct Database::Statement {
    sqlite3_stmt* stmt;
    ~Statement() {
        sqlite3_reset(stmt);
        sqlite3_clear_bindings(stmt);
    }
};

namespace {

constexpr const char* kSchema[] = {
    "CREATE TABLE IF NOT EXISTS users("
    " id INTEGER PRIMARY KEY,"
    " name TEXT NOT NULL UNIQUE,"
    " token_digest TEXT NOT NULL UNIQUE,"
    " created TEXT NOT NULL DEFAULT CURRENT_TIMESTAMP)",
    // BLOB keeps the record byte for byte, whatever encoding the client used.
    "CREATE TABLE IF NOT EXISTS settings("
    " user_id INTEGER PRIMARY KEY REFERENCES users(id),"
    " record BLOB NOT NULL,"
    " updated TEXT NOT NULL DEFAULT CURRENT_TIMESTAMP)",
    "CREATE TABLE IF NOT EXISTS draws("
    " region INTEGER NOT NULL CHECK(region BETWEEN 1 AND 3),"
    " day TEXT NOT NULL,"
    " period INTEGER NOT NULL CHECK(period BETWEEN 1 AND 999),"
    " numbers TEXT NOT NULL,"
    " PRIMARY KEY(region, day, period)) WITHOUT ROWID",
};

std::string NumbersText(const std::array<int, 5>& n) {
    char buffer[20];
    std::snprintf(buffer, sizeof buffer, "%02d,%02d,%02d,%02d,%02d", n[0], n[1], n[2], n[3], n[4]);
    return buffer;
}

std::array<int, 5> NumbersFromText(std::string_view text) {
    std::array<int, 5> numbers{};
    for (std::size_t i = 0; i < numbers.size() && 3 * i + 1 < text.size(); ++i) {
        numbers[i] = (text[3 * i] - '0') * 10 + (text[3 * i + 1] - '0');
    }
    return numbers;
}

std::string ColumnText(sqlite3_stmt* stmt, int column) {
    const auto* bytes = static_cast<const char*>(sqlite3_column_blob(stmt, column));
    const int size = sqlite3_column_bytes(stmt, column);
    return bytes ? std::string(bytes, static_cast<std::size_t>(size)) : std::string();
}

void BindText(sqlite3_stmt* stmt, int index, std::string_view text) {
    sqlite3_bind_text(stmt, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

}  // namespace

Database::Database(const std::string& path) {
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX;
    if (sqlite3_open_v2(path.c_str(), &db_, flags, nullptr) != SQLITE_OK) {
        const std::string message = db_ ? sqlite3_errmsg(db_) : "out of memory";
        sqlite3_close(db_);
        throw DatabaseError("cannot open database " + path + ": " + message);
    }
    try {
        // Another process (add-user, import) may hold the write lock for a moment.
        sqlite3_busy_timeout(db_, 5000);
        sqlite3_stmt* wal = Prepare("PRAGMA journal_mode=WAL");
        const bool is_wal = sqlite3_step(wal) == SQLITE_ROW && ColumnText(wal, 0) == "wal";
        sqlite3_finalize(wal);
        if (!is_wal) throw DatabaseError("cannot switch " + path + " to write-ahead logging");
        Execute("PRAGMA synchronous=FULL");
        Execute("PRAGMA foreign_keys=ON");
        Execute("BEGIN IMMEDIATE");
        for (const char* statement : kSchema) Execute(statement);
        Execute("COMMIT");

        add_user_ = Prepare("INSERT INTO users(name, token_digest) VALUES(?1, ?2)");
        find_user_ = Prepare("SELECT id FROM users WHERE token_digest = ?1");
        save_settings_ = Prepare(
            "INSERT INTO settings(user_id, record) VALUES(?1, ?2) ON CONFLICT(user_id) DO "
            "UPDATE SET record = excluded.record, updated = CURRENT_TIMESTAMP");
        load_settings_ = Prepare("SELECT record FROM settings WHERE user_id = ?1");
        keep_draw_ = Prepare(
            "INSERT OR IGNORE INTO draws(region, day, period, numbers) VALUES(?1, ?2, ?3, ?4)");
        replace_draw_ = Prepare(
            "INSERT OR REPLACE INTO draws(region, day, period, numbers) VALUES(?1, ?2, ?3, ?4)");
        recent_draws_ = Prepare(
            "SELECT day, period, numbers FROM draws WHERE region = ?1 "
            "ORDER BY day DESC, period DESC LIMIT ?2");
        data_version_ = Prepare("PRAGMA data_version");
        begin_ = Prepare("BEGIN IMMEDIATE");
        commit_ = Prepare("COMMIT");
        rollback_ = Prepare("ROLLBACK");
    } catch (...) {
        Close();
        throw;
    }
}

Database::~Database() {
    Close();
}

void Database::Close() {
    for (sqlite3_stmt* stmt :
         {add_user_, find_user_, save_settings_, load_settings_, keep_draw_, replace_draw_,
          recent_draws_, data_version_, begin_, commit_, rollback_}) {
        sqlite3_finalize(stmt);
    }
    // The last connection to close checkpoints the write-ahead log into the main file.
    sqlite3_close_v2(db_);
}

void Database::Fail(const char* what) {
    throw DatabaseError(std::string(what) + ": " + sqlite3_errmsg(db_));
}

sqlite3_stmt* Database::Prepare(const char* sql) {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v3(db_, sql, -1, SQLITE_PREPARE_PERSISTENT, &stmt, nullptr) != SQLITE_OK) {
        Fail("cannot prepare statement");
    }
    return stmt;
}

void Database::Execute(const char* sql) {
    sqlite3_stmt* stmt = Prepare(sql);
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
    }
    sqlite3_finalize(stmt);
    if (rc != SQLITE_DONE) Fail("cannot set up the database");
}

bool Database::AddUser(std::string_view name, std::string_view token_digest) {
    std::lock_guard lock(mutex_);
    Statement s{add_user_};
    BindText(s.stmt, 1, name);
    BindText(s.stmt, 2, token_digest);
    const int rc = sqlite3_step(s.stmt);
    if (rc == SQLITE_DONE) return true;
    if (rc == SQLITE_CONSTRAINT) return false;
    Fail("cannot add user");
}

std::optional<std::int64_t> Database::FindUser(std::string_view token_digest) {
    std::lock_guard lock(mutex_);
    Statement s{find_user_};
    BindText(s.stmt, 1, token_digest);
    const int rc = sqlite3_step(s.stmt);
    if (rc == SQLITE_ROW) return sqlite3_column_int64(s.stmt, 0);
    if (rc == SQLITE_DONE) return std::nullopt;
    Fail("cannot look up user");
}

std::vector<std::pair<std::string, std::int64_t>> Database::Users() {
    std::lock_guard lock(mutex_);
    sqlite3_stmt* stmt = Prepare("SELECT token_digest, id FROM users");
    std::vector<std::pair<std::string, std::int64_t>> users;
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        users.emplace_back(ColumnText(stmt, 0), sqlite3_column_int64(stmt, 1));
    }
    sqlite3_finalize(stmt);
    if (rc != SQLITE_DONE) Fail("cannot read users");
    return users;
}

void Database::SaveSettings(std::int64_t user_id, std::string_view record) {
    std::lock_guard lock(mutex_);
    Statement s{save_settings_};
    sqlite3_bind_int64(s.stmt, 1, user_id);
    sqlite3_bind_blob(s.stmt, 2, record.data(), static_cast<int>(record.size()), SQLITE_TRANSIENT);
    if (sqlite3_step(s.stmt) != SQLITE_DONE) Fail("cannot save settings");
}

std::optional<std::string> Database::LoadSettings(std::int64_t user_id) {
    std::lock_guard lock(mutex_);
    Statement s{load_settings_};
    sqlite3_bind_int64(s.stmt, 1, user_id);
    const int rc = sqlite3_step(s.stmt);
    if (rc == SQLITE_ROW) return ColumnText(s.stmt, 0);
    if (rc == SQLITE_DONE) return std::nullopt;
    Fail("cannot load settings");
}

int Database::StoreDraws(int region, const std::vector<Draw>& draws, OnConflict on_conflict) {
    // Checked here too: INSERT OR IGNORE would silently drop a row that breaks a constraint.
    if (!IsRegion(region)) throw DatabaseError("no region " + std::to_string(region));
    for (const Draw& draw : draws) {
        if (!ParseDay(draw.day) || DayText(*ParseDay(draw.day)) != draw.day || draw.period < 1 ||
            draw.period > 999 || !HasDistinctValidNumbers(draw.numbers)) {
            throw DatabaseError("malformed draw " + draw.day + " " + std::to_string(draw.period));
        }
    }
    std::lock_guard lock(mutex_);
    {
        Statement begin{begin_};
        if (sqlite3_step(begin.stmt) != SQLITE_DONE) Fail("cannot start a transaction");
    }
    int written = 0;
    try {
        Statement s{on_conflict == OnConflict::kKeep ? keep_draw_ : replace_draw_};
        for (const Draw& draw : draws) {
            sqlite3_bind_int(s.stmt, 1, region);
            BindText(s.stmt, 2, draw.day);
            sqlite3_bind_int(s.stmt, 3, draw.period);
            BindText(s.stmt, 4, NumbersText(draw.numbers));
            if (sqlite3_step(s.stmt) != SQLITE_DONE) Fail("cannot store draw");
            written += sqlite3_changes(db_);
            sqlite3_reset(s.stmt);
        }
        Statement commit{commit_};
        if (sqlite3_step(commit.stmt) != SQLITE_DONE) Fail("cannot commit draws");
    } catch (...) {
        Statement rollback{rollback_};
        sqlite3_step(rollback.stmt);
        throw;
    }
    return written;
}

std::vector<Draw> Database::RecentDraws(int region, int limit) {
    std::lock_guard lock(mutex_);
    Statement s{recent_draws_};
    sqlite3_bind_int(s.stmt, 1, region);
    sqlite3_bind_int(s.stmt, 2, limit);
    std::vector<Draw> draws;
    int rc;
    while ((rc = sqlite3_step(s.stmt)) == SQLITE_ROW) {
        Draw draw;
        draw.day = ColumnText(s.stmt, 0);
        draw.period = sqlite3_column_int(s.stmt, 1);
        draw.numbers = NumbersFromText(ColumnText(s.stmt, 2));
        draws.push_back(std::move(draw));
    }
    if (rc != SQLITE_DONE) Fail("cannot read draws");
    return draws;
}

std::int64_t Database::DataVersion() {
    std::lock_guard lock(mutex_);
    Statement s{data_version_};
    if (sqlite3_step(s.stmt) != SQLITE_ROW) Fail("cannot read the data version");
    return sqlite3_column_int64(s.stmt, 0);
}

std::string Database::IntegrityCheck() {
    std::lock_guard lock(mutex_);
    sqlite3_stmt* stmt = Prepare("PRAGMA integrity_check");
    std::string result;
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        if (!result.empty()) result += "\n";
        result += ColumnText(stmt, 0);
    }
    sqlite3_finalize(stmt);
    if (rc != SQLITE_DONE) Fail("cannot check integrity");
    return result;
}

}  // namespace xuan5::service
