#include "archive/draw_archive.h"

#include <sqlite3.h>

#include <algorithm>
#include <utility>

#include "protocol/draw_csv.h"
#include "protocol/endpoints.h"

namespace xuan5 {
namespace {

constexpr const char* kSchema =
    "CREATE TABLE IF NOT EXISTS draws("
    " region INTEGER NOT NULL,"
    " date TEXT NOT NULL,"
    " period TEXT NOT NULL,"
    " numbers TEXT NOT NULL,"
    " PRIMARY KEY(region, date, period)) WITHOUT ROWID";

// A prepared statement finalised on every path out.
class Statement {
  public:
    Statement(sqlite3* db, const char* sql) {
        if (sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr) != SQLITE_OK) stmt_ = nullptr;
    }
    ~Statement() { sqlite3_finalize(stmt_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    explicit operator bool() const { return stmt_ != nullptr; }
    sqlite3_stmt* get() const { return stmt_; }
    void Text(int index, const std::string& text) const {
        sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()),
                          SQLITE_TRANSIENT);
    }
    std::string Column(int index) const {
        const auto* text = sqlite3_column_text(stmt_, index);
        return text ? reinterpret_cast<const char*>(text) : "";
    }

  private:
    sqlite3_stmt* stmt_ = nullptr;
};

bool IsRegion(int region) {
    return region >= 1 && region <= kRegionCount;
}

bool IsArchivable(const DatedDraw& draw) {
    const auto day = ParseDrawDate(draw.date);
    return day && DrawDateText(*day) == draw.date && IsValidPeriod(draw.period) &&
           IsValidDrawNumbers(draw.numbers);
}

}  // namespace

std::filesystem::path DrawArchivePath(const std::filesystem::path& dataDir) {
    return dataDir / kArchiveFileName;
}

Result<DrawArchive> DrawArchive::Open(const std::filesystem::path& file) {
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX;
    sqlite3* db = nullptr;
    const bool opened = sqlite3_open_v2(file.string().c_str(), &db, flags, nullptr) == SQLITE_OK;
    if (opened) {
        // Another copy of the program may be writing; wait for it rather than fail at once.
        sqlite3_busy_timeout(db, 5000);
        if (sqlite3_exec(db, kSchema, nullptr, nullptr, nullptr) == SQLITE_OK) {
            return DrawArchive(file, db);
        }
    }
    const std::string why = db ? sqlite3_errmsg(db) : "out of memory";
    sqlite3_close(db);
    return Fail({"开奖存档无法打开：" + file.string() + "（" + why + "）", kTitleArchive});
}

DrawArchive::DrawArchive(DrawArchive&& other) noexcept
    : file_(std::move(other.file_)), db_(std::exchange(other.db_, nullptr)) {}

DrawArchive& DrawArchive::operator=(DrawArchive&& other) noexcept {
    if (this != &other) {
        sqlite3_close(db_);
        file_ = std::move(other.file_);
        db_ = std::exchange(other.db_, nullptr);
    }
    return *this;
}

DrawArchive::~DrawArchive() {
    sqlite3_close(db_);
}

Failure DrawArchive::Fault(const std::string& what) const {
    return {{{what + "：" + file_.string() + "（" + sqlite3_errmsg(db_) + "）", kTitleArchive}}};
}

Result<int> DrawArchive::AddDraws(int region, const std::vector<DatedDraw>& draws) {
    if (!IsRegion(region)) {
        return Fail({"开奖存档：地区编号有误 " + std::to_string(region), kTitleArchive});
    }
    for (const DatedDraw& draw : draws) {
        if (!IsArchivable(draw)) {
            return Fail(
                {"开奖存档：开奖数据有误 " + draw.date + " " + draw.period + " " + draw.numbers,
                 kTitleArchive});
        }
    }
    if (sqlite3_exec(db_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK) {
        return Fault("开奖存档无法写入");
    }
    int changed = 0;
    bool ok = true;
    {
        const Statement insert(
            db_,
            "INSERT INTO draws(region, date, period, numbers) VALUES(?1, ?2, ?3, ?4) "
            "ON CONFLICT(region, date, period) DO UPDATE SET numbers = excluded.numbers "
            "WHERE numbers <> excluded.numbers");
        ok = static_cast<bool>(insert);
        for (std::size_t i = 0; ok && i < draws.size(); ++i) {
            sqlite3_reset(insert.get());
            sqlite3_bind_int(insert.get(), 1, region);
            insert.Text(2, draws[i].date);
            insert.Text(3, draws[i].period);
            insert.Text(4, draws[i].numbers);
            ok = sqlite3_step(insert.get()) == SQLITE_DONE;
            if (ok) changed += sqlite3_changes(db_);
        }
    }
    if (!ok || sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) {
        // The reason is read before the rollback clears it.
        Failure failed = Fault("开奖存档无法写入");
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        return failed;
    }
    return changed;
}

Result<int> DrawArchive::CountDraws(int region) const {
    const Statement count(db_, "SELECT COUNT(*) FROM draws WHERE region = ?1");
    if (!count) return Fault("开奖存档无法读取");
    sqlite3_bind_int(count.get(), 1, region);
    if (sqlite3_step(count.get()) != SQLITE_ROW) return Fault("开奖存档无法读取");
    return sqlite3_column_int(count.get(), 0);
}

Result<std::vector<DatedDraw>> DrawArchive::Select(int region, int limit, bool newestFirst) const {
    const Statement select(db_, newestFirst
                                    ? "SELECT date, period, numbers FROM draws WHERE region = ?1 "
                                      "ORDER BY date DESC, period DESC LIMIT ?2"
                                    : "SELECT date, period, numbers FROM draws WHERE region = ?1 "
                                      "ORDER BY date, period LIMIT ?2");
    if (!select) return Fault("开奖存档无法读取");
    sqlite3_bind_int(select.get(), 1, region);
    sqlite3_bind_int(select.get(), 2, limit);
    std::vector<DatedDraw> draws;
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(select.get())) == SQLITE_ROW) {
        draws.push_back({select.Column(0), select.Column(1), select.Column(2)});
    }
    if (rc != SQLITE_DONE) return Fault("开奖存档无法读取");
    return draws;
}

Result<std::vector<DatedDraw>> DrawArchive::NewestDraws(int region, int count) const {
    if (count <= 0) return std::vector<DatedDraw>{};
    Result<std::vector<DatedDraw>> draws = Select(region, count, true);
    if (draws) std::reverse(draws->begin(), draws->end());
    return draws;
}

Result<std::vector<DatedDraw>> DrawArchive::AllDraws(int region) const {
    return Select(region, -1, false);
}

Result<std::optional<DrawTable>> DrawArchive::StagedTable(int region) const {
    const Result<std::vector<DatedDraw>> newest = Select(region, kHistoryRows, true);
    if (!newest) return newest.failure();
    if (newest->size() < static_cast<std::size_t>(kHistoryRows)) {
        return std::optional<DrawTable>();
    }
    DrawTable table{};
    for (int r = 1; r <= kHistoryRows; ++r) {
        const DatedDraw& draw = (*newest)[static_cast<std::size_t>(r - 1)];
        table[r] = {draw.period, draw.numbers, draw.date};
    }
    return std::optional<DrawTable>(table);
}

Result<std::string> DrawArchive::ExportCsv(int region, std::string_view regionName) const {
    const Result<std::vector<DatedDraw>> draws = AllDraws(region);
    if (!draws) return draws.failure();
    std::vector<std::string> notes;
    if (!regionName.empty() && !draws->empty()) {
        notes.push_back(SpanNote(regionName, PeriodLabel(draws->front()),
                                 PeriodLabel(draws->back()), draws->size()));
    }
    return DrawCsvText(*draws, notes);
}

}  // namespace xuan5
