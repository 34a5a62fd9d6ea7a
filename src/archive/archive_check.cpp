#include "archive/archive_check.h"

#include <sqlite3.h>

#include <vector>

#include "archive/draw_archive.h"

namespace xuan5 {
namespace {

enum class Verdict { kSound, kDamaged, kUnreadable };

bool IsDamage(int code) {
    return code == SQLITE_CORRUPT || code == SQLITE_NOTADB;
}

// The first column of every row of `sql`; the verdict of a statement that fails.
Verdict Rows(sqlite3* db, const char* sql, std::vector<std::string>& rows) {
    sqlite3_stmt* stmt = nullptr;
    int rc = sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr);
    while (stmt && (rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        const auto* text = sqlite3_column_text(stmt, 0);
        rows.emplace_back(text ? reinterpret_cast<const char*>(text) : "");
    }
    sqlite3_finalize(stmt);
    if (rc == SQLITE_DONE) return Verdict::kSound;
    return IsDamage(sqlite3_extended_errcode(db) & 0xFF) || IsDamage(rc) ? Verdict::kDamaged
                                                                         : Verdict::kUnreadable;
}

Verdict Judge(sqlite3* db, std::string& why) {
    std::vector<std::string> check;
    Verdict verdict = Rows(db, "PRAGMA quick_check", check);
    if (verdict != Verdict::kSound) {
        why = sqlite3_errmsg(db);
        return verdict;
    }
    if (check != std::vector<std::string>{"ok"}) return Verdict::kDamaged;
    std::vector<std::string> tables;
    verdict =
        Rows(db, "SELECT name FROM sqlite_schema WHERE type = 'table' AND name = 'draws'", tables);
    if (verdict != Verdict::kSound || tables.empty()) return verdict;
    // A draw table the archive cannot use would fail every later read and write.
    sqlite3_stmt* stmt = nullptr;
    const int rc = sqlite3_prepare_v2(db, "SELECT region, date, period, numbers FROM draws LIMIT 0",
                                      -1, &stmt, nullptr);
    sqlite3_finalize(stmt);
    return rc == SQLITE_OK ? Verdict::kSound : Verdict::kDamaged;
}

Failure Unchecked(const std::filesystem::path& file, const std::string& why) {
    return Fail({"开奖存档无法检查：" + file.string() + "（" + why + "）", kTitleArchive});
}

}  // namespace

Result<ArchiveCheck> CheckDrawArchive(const std::filesystem::path& file, const std::string& stamp) {
    std::error_code ec;
    if (!std::filesystem::exists(file, ec)) return ArchiveCheck{};
    if (!std::filesystem::is_regular_file(file, ec)) return Unchecked(file, "不是文件");

    sqlite3* db = nullptr;
    std::string why;
    Verdict verdict = Verdict::kUnreadable;
    if (sqlite3_open_v2(file.string().c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
        sqlite3_busy_timeout(db, 5000);
        verdict = Judge(db, why);
    } else {
        why = db ? sqlite3_errmsg(db) : "out of memory";
    }
    sqlite3_close(db);
    if (verdict == Verdict::kSound) return ArchiveCheck{};
    if (verdict == Verdict::kUnreadable) return Unchecked(file, why);

    std::filesystem::path aside = file.string() + ".damaged-" + stamp;
    for (int n = 2; std::filesystem::exists(aside, ec); ++n) {
        aside = file.string() + ".damaged-" + stamp + "-" + std::to_string(n);
    }
    // The check normally consumes a journal or log (SQLite plays or discards it on opening);
    // one still there goes first: left behind, it would be played into the new archive.
    for (const char* suffix : {"-journal", "-wal"}) {
        const std::filesystem::path journal = file.string() + suffix;
        if (!std::filesystem::exists(journal, ec)) continue;
        std::filesystem::rename(journal, aside.string() + suffix, ec);
        if (ec) return Unchecked(file, "无法移开 " + journal.string() + "：" + ec.message());
    }
    std::filesystem::remove(file.string() + "-shm", ec);
    std::filesystem::rename(file, aside, ec);
    if (ec) return Unchecked(file, "无法改名：" + ec.message());
    return ArchiveCheck{aside};
}

std::string ArchiveMovedAsideText(const std::filesystem::path& movedAside) {
    return "开奖存档已损坏，原文件已保留为 " + movedAside.filename().string() + "，已新建存档";
}

}  // namespace xuan5
