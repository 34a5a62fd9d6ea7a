#include "sqlite/sqlite_db.h"

#include <sqlite3.h>

#include <utility>

namespace xuan5 {

namespace {

Failure SqliteFailure(std::string why) {
    return Fail({std::move(why), "", Message::Kind::Io});
}

}  // namespace

Result<SqliteDb> SqliteDb::Open(const std::filesystem::path& file, Mode mode) {
    const int flags = SQLITE_OPEN_NOMUTEX |
                      (mode == Mode::ReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) |
                      (mode == Mode::Create ? SQLITE_OPEN_CREATE : 0);
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(file.string().c_str(), &db, flags, nullptr) == SQLITE_OK) {
        sqlite3_busy_timeout(db, kSqliteBusyTimeoutMs);
        return SqliteDb(db);
    }
    std::string why = db ? sqlite3_errmsg(db) : "out of memory";
    sqlite3_close(db);
    return SqliteFailure(std::move(why));
}

Result<SqliteDb> SqliteDb::OpenWithSchema(const std::filesystem::path& file, const char* schema) {
    Result<SqliteDb> db = Open(file, Mode::Create);
    if (!db) return db;
    if (Status made = db->Exec(schema); !made) return Failure{made.messages()};
    return db;
}

SqliteDb::~SqliteDb() {
    sqlite3_close(db_);
}

SqliteDb::SqliteDb(SqliteDb&& other) noexcept : db_(std::exchange(other.db_, nullptr)) {}

SqliteDb& SqliteDb::operator=(SqliteDb&& other) noexcept {
    if (this != &other) {
        sqlite3_close(db_);
        db_ = std::exchange(other.db_, nullptr);
    }
    return *this;
}

std::string SqliteDb::Error() const {
    return db_ ? sqlite3_errmsg(db_) : "not open";
}

Status SqliteDb::Exec(const char* sql) const {
    if (sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) == SQLITE_OK) return Ok();
    return SqliteFailure(Error());
}

int SqliteDb::Changes() const {
    return sqlite3_changes(db_);
}

SqliteStatement::SqliteStatement(const SqliteDb& db, const char* sql, bool cached) {
    const unsigned flags = cached ? SQLITE_PREPARE_PERSISTENT : 0;
    if (sqlite3_prepare_v3(db.get(), sql, -1, flags, &stmt_, nullptr) != SQLITE_OK) {
        sqlite3_finalize(stmt_);
        stmt_ = nullptr;
    }
}

SqliteStatement::~SqliteStatement() {
    sqlite3_finalize(stmt_);
}

SqliteStatement::SqliteStatement(SqliteStatement&& other) noexcept
    : stmt_(std::exchange(other.stmt_, nullptr)), last_(other.last_) {}

SqliteStatement& SqliteStatement::operator=(SqliteStatement&& other) noexcept {
    if (this != &other) {
        sqlite3_finalize(stmt_);
        stmt_ = std::exchange(other.stmt_, nullptr);
        last_ = other.last_;
    }
    return *this;
}

void SqliteStatement::Bind(int index, std::string_view text) const {
    sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

void SqliteStatement::Bind(int index, std::int64_t value) const {
    sqlite3_bind_int64(stmt_, index, value);
}

void SqliteStatement::BindBlob(int index, const void* bytes, std::size_t size) const {
    sqlite3_bind_blob(stmt_, index, bytes, static_cast<int>(size), SQLITE_TRANSIENT);
}

void SqliteStatement::BindNull(int index) const {
    sqlite3_bind_null(stmt_, index);
}

bool SqliteStatement::Step() {
    last_ = stmt_ ? sqlite3_step(stmt_) : SQLITE_MISUSE;
    return last_ == SQLITE_ROW;
}

void SqliteStatement::Reset() {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
    last_ = 0;
}

Status SqliteStatement::Run() {
    while (Step()) {
    }
    if (Done()) return Ok();
    return SqliteFailure(stmt_ ? sqlite3_errmsg(sqlite3_db_handle(stmt_)) : "not prepared");
}

std::string SqliteStatement::Text(int column) const {
    const auto* text = sqlite3_column_text(stmt_, column);
    const int size = sqlite3_column_bytes(stmt_, column);
    return text ? std::string(reinterpret_cast<const char*>(text), static_cast<std::size_t>(size))
                : std::string();
}

std::string_view SqliteStatement::View(int column) const {
    const auto* text = sqlite3_column_text(stmt_, column);
    const int size = sqlite3_column_bytes(stmt_, column);
    return text ? std::string_view(reinterpret_cast<const char*>(text),
                                   static_cast<std::size_t>(size))
                : std::string_view();
}

std::int64_t SqliteStatement::Int(int column) const {
    return sqlite3_column_int64(stmt_, column);
}

bool SqliteStatement::IsNull(int column) const {
    return sqlite3_column_type(stmt_, column) == SQLITE_NULL;
}

std::string SqliteStatement::Blob(int column) const {
    const auto* bytes = static_cast<const char*>(sqlite3_column_blob(stmt_, column));
    const int size = sqlite3_column_bytes(stmt_, column);
    return bytes ? std::string(bytes, static_cast<std::size_t>(size)) : std::string();
}

SqliteTransaction::SqliteTransaction(const SqliteDb& db) : db_(db) {
    begun_ = static_cast<bool>(db_.Exec("BEGIN IMMEDIATE"));
}

SqliteTransaction::~SqliteTransaction() {
    if (begun_ && !done_) (void)db_.Exec("ROLLBACK");
}

Status SqliteTransaction::Commit() {
    if (!begun_ || done_) return SqliteFailure("no transaction to commit");
    Status committed = db_.Exec("COMMIT");
    done_ = static_cast<bool>(committed);
    return committed;
}

namespace {

bool IsDamage(int code) {
    return code == SQLITE_CORRUPT || code == SQLITE_NOTADB;
}

// The first column of every row of `sql`; the state of a statement that fails.
SqliteFileCheck::State Rows(sqlite3* db, const char* sql, std::vector<std::string>& rows) {
    using State = SqliteFileCheck::State;
    sqlite3_stmt* stmt = nullptr;
    int rc = sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr);
    while (stmt && (rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        const auto* text = sqlite3_column_text(stmt, 0);
        rows.emplace_back(text ? reinterpret_cast<const char*>(text) : "");
    }
    sqlite3_finalize(stmt);
    if (rc == SQLITE_DONE) return State::Sound;
    return IsDamage(sqlite3_extended_errcode(db) & 0xFF) || IsDamage(rc) ? State::Damaged
                                                                         : State::Unreadable;
}

SqliteFileCheck::State Judge(sqlite3* db, const std::vector<std::string>& probes, bool wholeFile,
                             std::string& why) {
    using State = SqliteFileCheck::State;
    std::vector<std::string> check;
    // The schema is read whole or not at all: a file that is no database fails here.
    State state = Rows(db, wholeFile ? "PRAGMA quick_check" : "PRAGMA schema_version", check);
    if (state != State::Sound) {
        why = sqlite3_errmsg(db);
        return state;
    }
    if (wholeFile && check != std::vector<std::string>{"ok"}) return State::Damaged;
    for (const std::string& probe : probes) {
        sqlite3_stmt* stmt = nullptr;
        const int rc = sqlite3_prepare_v2(db, probe.c_str(), -1, &stmt, nullptr);
        const std::string error = rc == SQLITE_OK ? "" : sqlite3_errmsg(db);
        sqlite3_finalize(stmt);
        // A missing table is made at the first use; one of another layout would fail every
        // later read and write.
        if (rc != SQLITE_OK && error.rfind("no such table", 0) != 0) {
            why = error;
            return State::Damaged;
        }
    }
    return State::Sound;
}

}  // namespace

SqliteFileCheck CheckSqliteFile(const std::filesystem::path& file,
                                const std::vector<std::string>& probes, bool wholeFile) {
    using State = SqliteFileCheck::State;
    std::error_code ec;
    if (!std::filesystem::exists(file, ec)) return {};
    if (!std::filesystem::is_regular_file(file, ec)) return {State::Unreadable, "不是文件"};
    if (std::filesystem::file_size(file, ec) == 0 && !ec) return {};
    SqliteFileCheck check;
    const Result<SqliteDb> db = SqliteDb::Open(file, SqliteDb::Mode::ReadWrite);
    if (!db) return {State::Unreadable, db.messages().front().text};
    check.state = Judge(db->get(), probes, wholeFile, check.why);
    return check;
}

Result<std::filesystem::path> MoveDamagedAside(const std::filesystem::path& file,
                                               const std::string& stamp) {
    std::error_code ec;
    std::filesystem::path aside = file.string() + ".damaged-" + stamp;
    for (int n = 2; std::filesystem::exists(aside, ec); ++n) {
        aside = file.string() + ".damaged-" + stamp + "-" + std::to_string(n);
    }
    // The check normally consumes a journal or log (SQLite plays or discards it on opening); one
    // still there goes first: left behind, it would be played into the new database.
    for (const char* suffix : {"-journal", "-wal"}) {
        const std::filesystem::path journal = file.string() + suffix;
        if (!std::filesystem::exists(journal, ec)) continue;
        std::filesystem::rename(journal, aside.string() + suffix, ec);
        if (ec) return SqliteFailure("无法移开 " + journal.string() + "：" + ec.message());
    }
    std::filesystem::remove(file.string() + "-shm", ec);
    std::filesystem::rename(file, aside, ec);
    if (ec) return SqliteFailure("无法改名：" + ec.message());
    return aside;
}

Result<std::optional<std::filesystem::path>> SetAsideIfDamaged(
    const std::filesystem::path& file, const std::vector<std::string>& probes,
    const std::string& stamp, bool wholeFile) {
    using State = SqliteFileCheck::State;
    const SqliteFileCheck check = CheckSqliteFile(file, probes, wholeFile);
    if (check.state == State::Missing || check.state == State::Sound)
        return std::optional<std::filesystem::path>();
    if (check.state == State::Unreadable) return SqliteFailure(check.why);
    Result<std::filesystem::path> aside = MoveDamagedAside(file, stamp);
    if (!aside) return aside.failure();
    return std::optional<std::filesystem::path>(std::move(*aside));
}

}  // namespace xuan5
