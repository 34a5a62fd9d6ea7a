// Copies of the service database: one taken while the service runs, one put back while it is
// stopped, and the lock that keeps the two apart.
#pragma once

#include <cstdint>
#include <string>

namespace xuan5::service {

struct DatabaseSummary {
    std::int64_t users = 0;
    std::int64_t draws = 0;
};

// Copies the database `from` into the file `to` with SQLite's online backup: one consistent
// moment of it, while a running service goes on reading and writing. The copy is one
// self-contained file (no write-ahead log, readable by its owner only), checked, then put in
// place of `to` by a rename, so a failed copy leaves `to` as it was. Throws DatabaseError.
DatabaseSummary BackupDatabase(const std::string& from, const std::string& to);

// Puts the backup `from` in place of the database `db`, after checking that it is a whole
// service database. A `db` holding data is first copied to `keep_as`. The copy is one
// transaction: a failure leaves `db` as it was. Throws DatabaseError. The caller holds an
// exclusive DatabaseLock on `db`.
DatabaseSummary RestoreDatabase(const std::string& from, const std::string& db,
                                const std::string& keep_as);

// A lock on a database file: shared by every serving process, exclusive for a restore, so that a
// restore never replaces the data under a running service. It is an flock() on the file itself,
// which SQLite's own (fcntl) locks do not see.
//
// Closing any descriptor of a file drops all the fcntl locks the process holds on it, SQLite's
// included: the lock must outlive every connection this process opens to the file.
class DatabaseLock {
  public:
    enum class Mode { kShared, kExclusive };
    // Creates the file, empty, when missing (SQLite takes an empty file as a new database).
    // Throws DatabaseError when the file cannot be opened or the lock is taken.
    DatabaseLock(const std::string& path, Mode mode);
    ~DatabaseLock();
    DatabaseLock(const DatabaseLock&) = delete;
    DatabaseLock& operator=(const DatabaseLock&) = delete;

  private:
    int fd_ = -1;
};

}  // namespace xuan5::service
