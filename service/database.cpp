#include "database.h"

#include <sqlite3.h>

#include <cstdio>

#include "protocol/regions.h"

namespace xuan5::service {

namespace {

// Leaves a cached statement ready for its next use however the caller leaves the scope.
struct Use {
    SqliteStatement& statement;
    ~Use() { statement.Reset(); }
};

const std::string kDrawsTable =
    "CREATE TABLE IF NOT EXISTS draws("
    " region INTEGER NOT NULL " +
    RegionCheckSql("region") +
    ","
    " day TEXT NOT NULL,"
    " period INTEGER NOT NULL CHECK(period BETWEEN 1 AND 999),"
    " numbers TEXT NOT NULL,"
    " PRIMARY KEY(region, day, period)) WITHOUT ROWID";

const char* const kSchema[] = {
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
    kDrawsTable.c_str(),
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

}  // namespace

Database::Database(const std::string& path) {
    Result<SqliteDb> opened = SqliteDb::Open(path, SqliteDb::Mode::Create);
    if (!opened)
        throw DatabaseError("cannot open database " + path + ": " + opened.messages().front().text);
    db_ = std::move(*opened);
    {
        SqliteStatement wal = Prepare("PRAGMA journal_mode=WAL");
        if (!wal.Step() || wal.Text(0) != "wal") {
            throw DatabaseError("cannot switch " + path + " to write-ahead logging");
        }
    }
    Execute("PRAGMA synchronous=FULL");
    Execute("PRAGMA foreign_keys=ON");
    {
        SqliteTransaction schema(db_);
        if (!schema.Begun()) Fail("cannot set up the database");
        for (const char* statement : kSchema) Execute(statement);
        if (!schema.Commit()) Fail("cannot set up the database");
    }
    add_user_ = Prepare("INSERT INTO users(name, token_digest) VALUES(?1, ?2)");
    find_user_ = Prepare("SELECT id FROM users WHERE token_digest = ?1");
    save_settings_ = Prepare(
        "INSERT INTO settings(user_id, record) VALUES(?1, ?2) ON CONFLICT(user_id) DO "
        "UPDATE SET record = excluded.record, updated = CURRENT_TIMESTAMP");
    load_settings_ = Prepare("SELECT record FROM settings WHERE user_id = ?1");
    keep_draw_ =
        Prepare("INSERT OR IGNORE INTO draws(region, day, period, numbers) VALUES(?1, ?2, ?3, ?4)");
    replace_draw_ = Prepare(
        "INSERT OR REPLACE INTO draws(region, day, period, numbers) VALUES(?1, ?2, ?3, ?4)");
    recent_draws_ = Prepare(
        "SELECT day, period, numbers FROM draws WHERE region = ?1 "
        "ORDER BY day DESC, period DESC LIMIT ?2");
    data_version_ = Prepare("PRAGMA data_version");
}

// The statements go before the connection, whose closing checkpoints the write-ahead log into
// the main file.
Database::~Database() = default;

void Database::Fail(const char* what) {
    throw DatabaseError(std::string(what) + ": " + db_.Error());
}

SqliteStatement Database::Prepare(const char* sql) {
    SqliteStatement statement(db_, sql, true);
    if (!statement) Fail("cannot prepare statement");
    return statement;
}

void Database::Execute(const char* sql) {
    if (!Prepare(sql).Run()) Fail("cannot set up the database");
}

bool Database::AddUser(std::string_view name, std::string_view token_digest) {
    std::lock_guard lock(mutex_);
    Use use{add_user_};
    add_user_.Bind(1, name);
    add_user_.Bind(2, token_digest);
    if (add_user_.Run()) return true;
    if (add_user_.Code() == SQLITE_CONSTRAINT) return false;
    Fail("cannot add user");
}

std::optional<std::int64_t> Database::FindUser(std::string_view token_digest) {
    std::lock_guard lock(mutex_);
    Use use{find_user_};
    find_user_.Bind(1, token_digest);
    if (find_user_.Step()) return find_user_.Int(0);
    if (find_user_.Done()) return std::nullopt;
    Fail("cannot look up user");
}

std::vector<std::pair<std::string, std::int64_t>> Database::Users() {
    std::lock_guard lock(mutex_);
    SqliteStatement users_query = Prepare("SELECT token_digest, id FROM users");
    std::vector<std::pair<std::string, std::int64_t>> users;
    while (users_query.Step()) users.emplace_back(users_query.Blob(0), users_query.Int(1));
    if (!users_query.Done()) Fail("cannot read users");
    return users;
}

void Database::SaveSettings(std::int64_t user_id, std::string_view record) {
    std::lock_guard lock(mutex_);
    Use use{save_settings_};
    save_settings_.Bind(1, user_id);
    save_settings_.BindBlob(2, record.data(), record.size());
    if (!save_settings_.Run()) Fail("cannot save settings");
}

std::optional<std::string> Database::LoadSettings(std::int64_t user_id) {
    std::lock_guard lock(mutex_);
    Use use{load_settings_};
    load_settings_.Bind(1, user_id);
    if (load_settings_.Step()) return load_settings_.Blob(0);
    if (load_settings_.Done()) return std::nullopt;
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
    SqliteTransaction transaction(db_);
    if (!transaction.Begun()) Fail("cannot start a transaction");
    int written = 0;
    SqliteStatement& store = on_conflict == OnConflict::kKeep ? keep_draw_ : replace_draw_;
    Use use{store};
    for (const Draw& draw : draws) {
        store.Reset();
        store.Bind(1, std::int64_t{region});
        store.Bind(2, draw.day);
        store.Bind(3, std::int64_t{draw.period});
        store.Bind(4, NumbersText(draw.numbers));
        if (!store.Run()) Fail("cannot store draw");
        written += db_.Changes();
    }
    if (!transaction.Commit()) Fail("cannot commit draws");
    return written;
}

std::vector<Draw> Database::RecentDraws(int region, int limit) {
    std::lock_guard lock(mutex_);
    Use use{recent_draws_};
    recent_draws_.Bind(1, std::int64_t{region});
    recent_draws_.Bind(2, std::int64_t{limit});
    std::vector<Draw> draws;
    while (recent_draws_.Step()) {
        Draw draw;
        draw.day = recent_draws_.Text(0);
        draw.period = static_cast<int>(recent_draws_.Int(1));
        draw.numbers = NumbersFromText(recent_draws_.Text(2));
        draws.push_back(std::move(draw));
    }
    if (!recent_draws_.Done()) Fail("cannot read draws");
    return draws;
}

std::int64_t Database::DataVersion() {
    std::lock_guard lock(mutex_);
    Use use{data_version_};
    if (!data_version_.Step()) Fail("cannot read the data version");
    return data_version_.Int(0);
}

std::string Database::IntegrityCheck() {
    std::lock_guard lock(mutex_);
    SqliteStatement check = Prepare("PRAGMA integrity_check");
    std::string result;
    while (check.Step()) {
        if (!result.empty()) result += "\n";
        result += check.Text(0);
    }
    if (!check.Done()) Fail("cannot check integrity");
    return result;
}

}  // namespace xuan5::service
