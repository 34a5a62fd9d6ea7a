#include "backup.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <vector>

#include "database.h"

namespace xuan5::service {
namespace {

// A connection to one of the files a backup or restore reads or writes; throws when it cannot
// be opened.
class Connection {
  public:
    Connection(const std::string& path, SqliteDb::Mode mode) {
        Result<SqliteDb> opened = SqliteDb::Open(path, mode);
        if (!opened)
            throw DatabaseError("cannot open " + path + ": " + opened.messages().front().text);
        db_ = std::move(*opened);
    }
    sqlite3* get() const { return db_.get(); }

    // The first column of every row `sql` gives.
    std::vector<std::string> Column(const char* sql, const std::string& what) const {
        SqliteStatement statement(db_, sql);
        std::vector<std::string> values;
        while (statement.Step()) values.push_back(statement.Text(0));
        if (!statement.Done()) throw DatabaseError(what + ": " + db_.Error());
        return values;
    }

  private:
    SqliteDb db_;
};

// Every page of `from` into `to`, in one step: one read transaction on the source, so the copy
// is one moment of it even while the service writes (in write-ahead logging the writer does
// not wait for readers, nor they for it).
void Copy(const Connection& from, const Connection& to, const std::string& what) {
    sqlite3_backup* backup = sqlite3_backup_init(to.get(), "main", from.get(), "main");
    if (!backup) throw DatabaseError(what + ": " + sqlite3_errmsg(to.get()));
    int rc = SQLITE_OK;
    for (int attempt = 0; attempt < 200; ++attempt) {
        rc = sqlite3_backup_step(backup, -1);
        if (rc != SQLITE_BUSY && rc != SQLITE_LOCKED) break;
        sqlite3_sleep(50);
    }
    const int finished = sqlite3_backup_finish(backup);
    if (rc != SQLITE_DONE || finished != SQLITE_OK) {
        throw DatabaseError(what + ": " + sqlite3_errstr(rc != SQLITE_DONE ? rc : finished));
    }
}

void SetJournalMode(const Connection& db, const std::string& mode, const std::string& path) {
    const std::string sql = "PRAGMA journal_mode=" + mode;
    const auto result = db.Column(sql.c_str(), "cannot set the journal of " + path);
    if (result.empty() || result[0] != mode) {
        throw DatabaseError("cannot set the journal of " + path + " to " + mode + " (" +
                            (result.empty() ? std::string("no answer") : result[0]) + ")");
    }
}

// Whole and of the service's making: intact pages and the three tables.
DatabaseSummary CheckWhole(const Connection& db, const std::string& path) {
    const std::string what = path + " is no whole service database";
    const auto check = db.Column("PRAGMA integrity_check", what);
    if (check != std::vector<std::string>{"ok"}) {
        throw DatabaseError(what + ": " + (check.empty() ? "no answer" : check[0]));
    }
    const auto tables = db.Column(
        "SELECT count(*) FROM sqlite_schema WHERE type = 'table' AND "
        "name IN ('users', 'settings', 'draws')",
        what);
    if (tables != std::vector<std::string>{"3"}) throw DatabaseError(what + ": tables missing");
    DatabaseSummary summary;
    summary.users = std::stoll(db.Column("SELECT count(*) FROM users", what).at(0));
    summary.draws = std::stoll(db.Column("SELECT count(*) FROM draws", what).at(0));
    return summary;
}

void Sync(const std::string& path, int flags) {
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC);
    const bool synced = fd >= 0 && ::fsync(fd) == 0;
    if (fd >= 0) ::close(fd);
    if (!synced) throw DatabaseError("cannot flush " + path + ": " + std::strerror(errno));
}

// A temporary file beside the target, removed with its journal unless the copy was put in place.
class Staging {
  public:
    explicit Staging(const std::string& target) {
        std::string pattern = target + ".tmp-XXXXXX";
        // Readable by its owner only: the copy holds every user's settings.
        const int fd = ::mkstemp(pattern.data());
        if (fd < 0) {
            throw DatabaseError("cannot create a file beside " + target + ": " +
                                std::strerror(errno));
        }
        ::close(fd);
        path_ = pattern;
    }
    ~Staging() {
        if (path_.empty()) return;
        std::error_code ignored;
        std::filesystem::remove(path_, ignored);
        std::filesystem::remove(path_ + "-journal", ignored);
    }
    Staging(const Staging&) = delete;
    Staging& operator=(const Staging&) = delete;
    const std::string& path() const { return path_; }
    void Release() { path_.clear(); }

  private:
    std::string path_;
};

}  // namespace

DatabaseSummary BackupDatabase(const std::string& from, const std::string& to) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(from, ec)) throw DatabaseError("no database at " + from);
    Staging staging(to);
    DatabaseSummary summary;
    {
        // Read and write, as a reader of a database in write-ahead logging must be; the
        // library falls back to reading only when the file allows no more.
        const Connection source(from, SqliteDb::Mode::ReadWrite);
        const Connection copy(staging.path(), SqliteDb::Mode::ReadWrite);
        Copy(source, copy, "cannot copy " + from);
        // The pages keep the source's write-ahead mark; a backup is one file on its own.
        SetJournalMode(copy, "delete", staging.path());
        summary = CheckWhole(copy, staging.path());
    }
    Sync(staging.path(), O_RDONLY);
    if (::rename(staging.path().c_str(), to.c_str()) != 0) {
        throw DatabaseError("cannot put the copy in place of " + to + ": " + std::strerror(errno));
    }
    staging.Release();
    const std::filesystem::path folder = std::filesystem::absolute(to).parent_path();
    Sync(folder.string(), O_RDONLY | O_DIRECTORY);
    return summary;
}

DatabaseSummary RestoreDatabase(const std::string& from, const std::string& db,
                                const std::string& keep_as) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(from, ec)) throw DatabaseError("no backup at " + from);
    const Connection source(from, SqliteDb::Mode::ReadOnly);
    CheckWhole(source, from);
    const auto size = std::filesystem::file_size(db, ec);
    if (!ec && size > 0) BackupDatabase(db, keep_as);
    const Connection target(db, SqliteDb::Mode::Create);
    Copy(source, target, "cannot restore " + from + " into " + db);
    SetJournalMode(target, "wal", db);
    return CheckWhole(target, db);
}

DatabaseLock::DatabaseLock(const std::string& path, Mode mode) {
    fd_ = ::open(path.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0644);
    if (fd_ < 0) throw DatabaseError("cannot open " + path + ": " + std::strerror(errno));
    const int how = (mode == Mode::kShared ? LOCK_SH : LOCK_EX) | LOCK_NB;
    if (::flock(fd_, how) == 0) return;
    const int error = errno;
    ::close(fd_);
    fd_ = -1;
    if (error != EWOULDBLOCK) {
        throw DatabaseError("cannot lock " + path + ": " + std::strerror(error));
    }
    throw DatabaseError(mode == Mode::kShared
                            ? path + " is being restored; start the service when that has ended"
                            : path +
                                  " is in use by a running service; stop it first "
                                  "(systemctl stop xuan5-service)");
}

DatabaseLock::~DatabaseLock() {
    if (fd_ >= 0) ::close(fd_);
}

}  // namespace xuan5::service
